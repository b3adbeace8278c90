// Photos given to the window from outside: dropped onto it, or named on the command line. Each
// way runs over them as if they had been chosen in the photo dialog (the validation first, then
// one question in place of the dialog), and a page the run wrote is offered to the browser.
#include <memory>

#include <QCheckBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

#include "support/fixtures.h"
#include "support/make_photo.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window.h"
#include "ui/recording_dialogs.h"

using namespace snapfolio;

class MainWindowDropTest : public QObject {
  Q_OBJECT

 private:
  test::TempDir dir_;
  std::shared_ptr<test::RecordingDialogs> dialogs_;
  std::unique_ptr<TSnapfolio> window_;
  QString photoA_, photoB_;

  // A window whose options write image 1 ("t_" + name, 40 pixels) and the album page.
  TSnapfolio& open() {
    dialogs_ = std::make_shared<test::RecordingDialogs>();
    window_ = std::make_unique<TSnapfolio>(MainWindowEnvironment{dir_.path().string(), dialogs_});
    const MainWindowForm& form = window_->form();
    form.Gazou2->setChecked(false);
    form.Width1->setText("40");
    form.PriFileName1->setText("t_");
    form.HtmlCnv->setChecked(true);
    test::writeFile(dir_ / "page.dat", "<!--$LOOP-->$FILENAME;<!--$/LOOP-->");
    form.HtmlTemplateFile->setText(QString::fromStdString((dir_ / "page.dat").string()));
    form.DirectoryListBox1->setDirectory(QString::fromStdString((dir_ / "out").string()));
    window_->show();
    return *window_;
  }

  void drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window_.get(), &event);
  }

  void waitForTheRun() {
    QSignalSpy finished(window_.get(), &TSnapfolio::operationFinished);
    QVERIFY(finished.wait(20000));
  }

 private slots:
  void initTestCase() {
    std::filesystem::create_directory(dir_ / "out");
    test::makePhoto(dir_ / "a.jpg", 80, 60);
    test::makePhoto(dir_ / "b.jpg", 80, 60);
    photoA_ = QString::fromStdString((dir_ / "a.jpg").string());
    photoB_ = QString::fromStdString((dir_ / "b.jpg").string());
  }

  // A folder in the drop is left out; the answer OK runs over the files and, asked again,
  // opens the page.
  void droppedPhotosRunAfterOneQuestion() {
    open();
    dialogs_->confirmAnswer = true;
    drop({QUrl::fromLocalFile(photoB_), QUrl::fromLocalFile(QString::fromStdString(dir_.path())),
          QUrl::fromLocalFile(photoA_)});
    waitForTheRun();
    const QString page = QString::fromStdString((dir_ / "out" / "index.html").string());
    QCOMPARE(
        dialogs_->questions,
        QStringList({QStringLiteral("2枚の写真を変換します。よろしいですか？"),
                     QStringLiteral("アルバムのページ %1 を書き出しました。ブラウザで開きますか？")
                         .arg(page)}));
    QVERIFY(dialogs_->photoStarts.isEmpty());  // the photo dialog was not shown
    QCOMPARE(test::readFile(dir_ / "out" / "index.html"),
             std::string("<!--$LOOP-->b.jpg;<!---->a.jpg;<!--$/LOOP-->"));
    QCOMPARE(dialogs_->openedPages, QStringList{page});
    QVERIFY(dialogs_->boxes.empty());

    // A preview afterwards writes no page and offers none.
    dialogs_->photoAnswers.push_back(QStringList{photoA_});
    window_->InButtonClick();
    waitForTheRun();
    QCOMPARE(dialogs_->questions.size(), 2);
  }

  // The validation of "入力" comes first: without a width nothing is asked.
  void validationComesFirst() {
    TSnapfolio& window = open();
    window.form().Width1->clear();
    window.runPhotos({photoA_});
    waitForTheRun();
    QVERIFY(dialogs_->questions.isEmpty());
    QCOMPARE(dialogs_->boxes.size(), std::size_t{1});
    QCOMPARE(dialogs_->boxes.front().text,
             QStringLiteral("出力する画像の横幅を指定してください。"));
  }
};

QTEST_MAIN(MainWindowDropTest)
#include "main_window_drop_test.moc"
