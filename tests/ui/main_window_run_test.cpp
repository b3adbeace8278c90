// The main window as the engine sees it: its port used from a worker thread, and a run or a
// preview executing off the user-interface thread.
#include <atomic>
#include <memory>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "support/fixtures.h"
#include "ui/common/gauge_bar.h"
#include "ui/main_window/directory_list.h"
#include "ui/main_window/main_window.h"
#include "ui/recording_dialogs.h"

using namespace snapfolio;

namespace {

struct Fixture {
  test::TempDir dir;
  std::shared_ptr<test::RecordingDialogs> dialogs = std::make_shared<test::RecordingDialogs>();
  std::unique_ptr<TSnapfolio> window;

  TSnapfolio& open() {
    window = std::make_unique<TSnapfolio>(MainWindowEnvironment{dir.path().string(), dialogs});
    return *window;
  }
};

// Runs `work` on a worker thread and serves the window's events until it has finished.
template <typename F>
void onWorker(F work) {
  std::atomic<bool> done = false;
  std::unique_ptr<QThread> worker(QThread::create([&] {
    work();
    done = true;
  }));
  worker->start();
  QTRY_VERIFY_WITH_TIMEOUT(done.load(), 10000);
  worker->wait();
}

}  // namespace

class MainWindowRunTest : public QObject {
  Q_OBJECT

 private slots:
  void portCallsFromAWorkerReachTheWindowInOrder();
  void requestHoldsTheOptionsInForce();
  void pipelineInputsComeFromTheLinkedDialogs();
  void photoDialogThroughThePort();
  void previewCentresSurface1InThePanel();
  void aRunShowsTheStopButtonAndDisablesTheOptions();
  void closingDuringARunStopsItAndClosesAfterwards();
};

void MainWindowRunTest::portCallsFromAWorkerReachTheWindowInOrder() {
  Fixture f;
  TSnapfolio& w = f.open();
  RunPort& port = w.runPort();
  onWorker([&] {
    port.setProgressMaximum(ProgressLevel::Overall, 5);
    port.advanceProgress(ProgressLevel::Overall);
    port.advanceProgress(ProgressLevel::Overall);
    port.setStatusLine(ProgressLevel::Overall, "p1.jpg 読み込み中");
    port.setProgressMaximum(ProgressLevel::Detail, 3);
    port.setProgressValue(ProgressLevel::Detail, 9);  // kept within the maximum
    port.setStatusLine(ProgressLevel::Detail, "HTML変換中");
    port.showError("0008 : /p1.jpgのJPEGの格納に失敗した。");  // waits for the queued calls
  });
  QCOMPARE(w.form().CGauge1->maximum(), 5);
  QCOMPARE(w.form().CGauge1->value(), 2);
  QCOMPARE(w.form().CGauge2->value(), 3);
  QCOMPARE(w.form().Label8->text(), QStringLiteral("p1.jpg 読み込み中"));
  QCOMPARE(w.form().Label9->text(), QStringLiteral("HTML変換中"));
  QCOMPARE(f.dialogs->boxes.size(), 1u);
  QCOMPARE(f.dialogs->boxes[0].caption, QStringLiteral("ERROR"));
  QCOMPARE(f.dialogs->boxes[0].thread, w.thread());
}

void MainWindowRunTest::requestHoldsTheOptionsInForce() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.move(30, 40);
  w.form().Gazou1->setChecked(true);
  w.form().Width1->setText("150");
  w.form().PriFileName1->setText("s_");
  w.form().AftFileName1->setText("_1");
  w.form().AutoAdjust1->setChecked(true);
  w.form().Gazou2->setChecked(false);
  w.form().Width2->setText("800");
  w.form().PriFileName2->setText("l_");
  w.form().HtmlCnv->setChecked(true);
  w.form().HtmlFile->setText("index.html");
  w.form().ALBUMTITLE->setText("夏");
  w.form().HtmlTemplateFile->setText("/t/a.dat");
  w.form().DirectoryListBox1->setDirectory(QString::fromStdString(f.dir.path().string()));
  const RunRequest request = w.runRequest(QStringList{"/p/一.jpg"});
  const RunOptions& options = request.options;
  QVERIFY(options.image[0].produce);
  QCOMPARE(options.image[0].widthText, std::string("150"));
  QCOMPARE(options.image[0].prefix, std::string("s_"));
  QCOMPARE(options.image[0].suffix, std::string("_1"));
  QVERIFY(options.image[0].autoAdjust);
  QVERIFY(!options.image[0].timeStamp);
  QVERIFY(!options.image[1].produce);
  QCOMPARE(options.image[1].widthText, std::string("800"));
  QCOMPARE(options.image[1].prefix, std::string("l_"));
  QVERIFY(options.album.htmlCnv);
  QCOMPARE(options.album.htmlFile, std::string("index.html"));
  QCOMPARE(options.album.albumTitle, std::string("夏"));
  QCOMPARE(options.album.htmlTemplateFile, std::string("/t/a.dat"));
  QCOMPARE(options.outputDir, f.dir.path().string());
  QCOMPARE(request.position.left, w.x());
  QCOMPARE(request.position.top, w.y());
  QCOMPARE(request.inputs[0].image.prefix, std::string("s_"));
  QCOMPARE(request.inputs[1].image.widthText, std::string("800"));
  QVERIFY(request.photos.has_value());
  QCOMPARE(*request.photos, std::vector<std::string>{"/p/一.jpg"});
  QVERIFY(!w.runRequest().photos.has_value());
}

void MainWindowRunTest::pipelineInputsComeFromTheLinkedDialogs() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.form().Width2->setText("640");
  w.form().CheckTimeStmp2->setChecked(true);
  // without links, the defaults
  const PipelineInputs plain = w.runRequest().inputs[1];
  QCOMPARE(plain.format, PipelineInputs{}.format);
  QCOMPARE(plain.image.widthText, std::string("640"));
  QVERIFY(plain.image.timeStamp);

  TimeStampStyle one, two;
  one.fontSize = 20;
  two.fontSize = 30;
  CorrectionValues values;
  values.gain = 40;
  MainWindowLinks links;
  links.style = [&](int n) { return n == 1 ? one : two; };
  links.format = [] { return std::string("yyyy/mm/dd"); };
  links.correctionValues = [&] { return values; };
  w.setLinks(links);
  const PipelineInputs linked = w.runRequest().inputs[1];
  QCOMPARE(linked.style.fontSize, 30);
  QCOMPARE(linked.format, std::string("yyyy/mm/dd"));
  QCOMPARE(linked.correction.gain, 40);
  QCOMPARE(linked.image.widthText, std::string("640"));
}

void MainWindowRunTest::photoDialogThroughThePort() {
  Fixture f;
  TSnapfolio& w = f.open();
  f.dialogs->photoAnswers = {QStringList{"/p/一.jpg", "/p/二.JPG"}, std::nullopt};
  std::optional<std::vector<std::string>> first, second;
  onWorker([&] {
    first = w.runPort().choosePhotos();
    second = w.runPort().choosePhotos();
  });
  QVERIFY(first.has_value());
  QCOMPARE(*first, (std::vector<std::string>{"/p/一.jpg", "/p/二.JPG"}));
  QVERIFY(!second.has_value());
  // a cancelled dialog keeps the last name, which the next run's request starts from
  QCOMPARE(w.runRequest().photoDialogFileName, std::string("/p/一.jpg"));
}

void MainWindowRunTest::previewCentresSurface1InThePanel() {
  Fixture f;
  TSnapfolio& w = f.open();
  const QLabel* image1 = w.form().Image1;
  // surface 2 is never shown
  onWorker([&] { w.runPort().surfaceReady(2, Raster(150, 112)); });
  QTest::qWait(50);
  QVERIFY(image1->isHidden());
  Raster surface(150, 112);
  surface.fill(rgb(255, 0, 0));
  onWorker([&] { w.runPort().surfaceReady(1, surface); });
  QTRY_VERIFY(!image1->isHidden());
  QTRY_COMPARE(image1->geometry(), QRect(125, 94, 150, 112));
  QCOMPARE(image1->pixmap().toImage().pixelColor(10, 10), QColor(255, 0, 0));
  // a picture larger than the panel sits at negative offsets, truncated toward zero, and is
  // clipped by the panel
  onWorker([&] { w.runPort().surfaceReady(1, Raster(601, 401)); });
  QTRY_COMPARE(image1->geometry(), QRect(-100, -50, 601, 401));
  QCOMPARE(image1->parentWidget(), w.form().Panel1);
  QVERIFY(w.form().Image2->isHidden());
}

void MainWindowRunTest::aRunShowsTheStopButtonAndDisablesTheOptions() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.show();
  // neither image nor page: the run's validation answers with a message box, shown while the
  // run's worker waits
  w.form().Gazou1->setChecked(false);
  w.form().Gazou2->setChecked(false);
  w.form().HtmlCnv->setChecked(false);
  bool stopShown = false, stopEnabled = false, groupEnabled = true, okEnabled = true,
       previewEnabled = true, timerActive = true, busy = false;
  f.dialogs->whileOpen = [&](const test::RecordingDialogs::Box&) {
    stopShown = w.form().BreakButton1->isVisible();
    stopEnabled = w.form().BreakButton1->isEnabled();
    groupEnabled = w.form().GroupBox1->isEnabled();
    okEnabled = w.form().OKButton->isEnabled();
    previewEnabled = w.form().InButton->isEnabled();
    timerActive = w.form().DirUpdateTimer->isActive();
    busy = w.isBusy();
  };
  QSignalSpy finished(&w, &TSnapfolio::operationFinished);
  QTest::mouseClick(w.form().OKButton, Qt::LeftButton);
  QVERIFY(finished.wait(10000));
  QCOMPARE(f.dialogs->boxes.size(), 1u);
  QCOMPARE(f.dialogs->boxes[0].text,
           QStringLiteral("いずれの画像も指定されていない為に画像の変換は行われません。"));
  QCOMPARE(f.dialogs->boxes[0].thread, w.thread());
  QVERIFY(stopShown && stopEnabled && busy);
  QVERIFY(!groupEnabled && !okEnabled && !previewEnabled && !timerActive);
  // afterwards everything is back, with the enabling rules' own states
  QVERIFY(!w.isBusy());
  QVERIFY(w.form().BreakButton1->isHidden());
  QVERIFY(!w.form().BreakButton1->isEnabled());
  QVERIFY(w.form().GroupBox1->isEnabled() && w.form().OKButton->isEnabled() &&
          w.form().InButton->isEnabled());
  QVERIFY(w.form().DirUpdateTimer->isActive());
  QVERIFY(!w.form().Width1->isEnabled());  // Gazou1 is unchecked
  QVERIFY(!w.form().HtmlFile->isEnabled());
  QVERIFY(w.form().NewDir->isEnabled());
  QVERIFY(!std::filesystem::exists(f.dir / "Snapfolio.ini"));  // nothing stored
}

void MainWindowRunTest::closingDuringARunStopsItAndClosesAfterwards() {
  Fixture f;
  TSnapfolio& w = f.open();
  w.show();
  w.form().Gazou1->setChecked(false);
  w.form().Gazou2->setChecked(false);
  w.form().HtmlCnv->setChecked(false);
  bool closedMeanwhile = true;
  f.dialogs->whileOpen = [&](const test::RecordingDialogs::Box&) {
    w.close();
    closedMeanwhile = !w.isVisible();
  };
  QSignalSpy finished(&w, &TSnapfolio::operationFinished);
  QTest::mouseClick(w.form().OKButton, Qt::LeftButton);
  QVERIFY(finished.wait(10000));
  QVERIFY(!closedMeanwhile);
  QVERIFY(w.stopRequested());
  QTRY_VERIFY(!w.isVisible());
}

QTEST_MAIN(MainWindowRunTest)
#include "main_window_run_test.moc"
