// The program's last resort: a failure that escapes the start or the message loop is shown and
// ends the program with a failure status.
#include <stdexcept>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include "ui/application.h"

using namespace snapfolio;

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void aNormalEndKeepsItsStatus() {
    QCOMPARE(runGuarded([] { return 3; }), 3);
  }

  void aFatalErrorIsShownAndEndsWithAFailureStatus() {
    QString caption, text;
    QTimer answer;  // answers the box once it is up
    connect(&answer, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      caption = box->windowTitle();
      text = box->text();
      box->accept();
    });
    answer.start(10);
    const int status = runGuarded([]() -> int { throw std::runtime_error("設定を読めない"); });
    QCOMPARE(status, EXIT_FAILURE);
    QCOMPARE(caption, QStringLiteral("Snapfolio"));
    QCOMPARE(text, QStringLiteral("設定を読めない"));
  }
};

QTEST_MAIN(ApplicationTest)
#include "application_test.moc"
