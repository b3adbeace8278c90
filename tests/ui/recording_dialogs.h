// RecordingDialogs: a WindowDialogs for the window tests. Keeps every box and chooser call
// with its thread, and answers the choosers from queues the test fills (an empty queue, or an
// empty optional, is a cancelled chooser).
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>
#include <QThread>

#include "ui/main_window/main_window_dialogs.h"

namespace snapfolio::test {

class RecordingDialogs : public WindowDialogs {
 public:
  struct Box {
    QString caption;  // "Snapfolio", "ERROR" or "File Error"
    QString text;
    QThread* thread;
  };

  void showMessage(const QString& text) override { record("Snapfolio", text); }
  void showError(const QString& text) override { record("ERROR", text); }
  void showFileError(const QString& text) override { record("File Error", text); }

  std::optional<QStringList> choosePhotos(const QString& start) override {
    photoStarts.push_back(start);
    if (whileChoosing) whileChoosing();
    return next(photoAnswers);
  }
  std::optional<QString> chooseTemplate(const QString& initialDirectory) override {
    templateStarts.push_back(initialDirectory);
    return next(templateAnswers);
  }
  std::optional<QString> choosePageFile(const QString& initialDirectory) override {
    pageStarts.push_back(initialDirectory);
    return next(pageAnswers);
  }

  bool confirm(const QString& text) override {
    questions.push_back(text);
    return confirmAnswer;
  }
  void openPage(const QString& path) override { openedPages.push_back(path); }

  std::vector<Box> boxes;
  QStringList questions, openedPages;  // confirm() texts, pages opened
  bool confirmAnswer = false;
  // Called while a box is "open" (after it is recorded), to look at the window meanwhile.
  std::function<void(const Box&)> whileOpen;
  // Called while the photo dialog is "open".
  std::function<void()> whileChoosing;
  std::deque<std::optional<QStringList>> photoAnswers;
  std::deque<std::optional<QString>> templateAnswers;
  std::deque<std::optional<QString>> pageAnswers;
  QStringList photoStarts, templateStarts, pageStarts;

 private:
  void record(const QString& caption, const QString& text) {
    boxes.push_back({caption, text, QThread::currentThread()});
    if (whileOpen) whileOpen(boxes.back());
  }
  template <typename T>
  static std::optional<T> next(std::deque<std::optional<T>>& answers) {
    std::optional<T> answer;
    if (!answers.empty()) {
      answer.swap(answers.front());
      answers.pop_front();
    }
    return answer;
  }
};

}  // namespace snapfolio::test
