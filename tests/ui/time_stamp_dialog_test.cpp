// The time-stamp dialogs TTimePropty1 and TTimePropty2 and their font dialog.
#include "ui/time_stamp/time_stamp_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTranslator>
#include <QFontDatabase>
#include <QtTest>

#include <deque>
#include <fstream>
#include <sstream>

#include "settings/ini_file.h"
#include "timestamp/font_substitution.h"
#include "ui/time_stamp/stamp_font_dialog.h"

using namespace snapfolio;

namespace {

// Answers the font and colour dialogs from a queue and records what they were shown.
class RecordingChooser : public FontChooser, public ColorChooser, public MessagePort {
 public:
  std::optional<StampFont> chooseFont(QWidget*, const StampFont& current) override {
    shownFonts.push_back(current);
    auto answer = fonts.front();
    fonts.pop_front();
    return answer;
  }
  std::optional<std::uint32_t> chooseColor(QWidget*, std::uint32_t current) override {
    shownColors.push_back(current);
    auto answer = colors.front();
    colors.pop_front();
    return answer;
  }
  void showMessage(const std::string& text) override { messages.push_back(text); }
  void showError(const std::string& text) override { messages.push_back(text); }
  void showFileError(const std::string& text) override { messages.push_back(text); }

  std::deque<std::optional<StampFont>> fonts;
  std::deque<std::optional<std::uint32_t>> colors;
  std::vector<StampFont> shownFonts;
  std::vector<std::uint32_t> shownColors;
  std::vector<std::string> messages;
};

std::string readText(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The key names of an INI file in file order.
QStringList keyOrder(const QString& path) {
  QStringList names;
  for (const QString& line : QString::fromStdString(readText(path)).split('\n')) {
    const qsizetype eq = line.indexOf('=');
    if (eq > 0) names << line.left(eq);
  }
  return names;
}

void click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton);
}

template <typename T>
T* child(QWidget* dialog, const char* name) {
  return dialog->findChild<T*>(QString::fromUtf8(name));
}

}  // namespace

class TimeStampDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString iniPath() const { return dir_.filePath("Snapfolio.ini"); }
  void writeIni(const char* body) {
    std::ofstream(iniPath().toStdString(), std::ios::binary | std::ios::trunc) << "[OutStyl]\n"
                                                                               << body;
  }

 private slots:
  void initTestCase() {
    registerFontSubstitutions();
    QVERIFY(dir_.isValid());
  }
  void cleanup() { QFile::remove(iniPath()); }

  void constructionDefaultsWithoutASettingsFile() {
    TTimePropty1 one(iniPath().toStdString());
    TTimePropty2 two(iniPath().toStdString());
    QCOMPARE(one.windowTitle(), QString::fromUtf8("画像1　タイムスタンプ設定"));
    QCOMPARE(two.windowTitle(), QString::fromUtf8("画像2　タイムスタンプ設定"));
    QVERIFY(!QFile::exists(iniPath()));  // reading writes nothing

    const std::pair<const char*, const char*> captions[] = {{"AutoSize", "オートサイズ"},
                                                            {"Background", "透過背景"},
                                                            {"FontButton", "フォント"},
                                                            {"BackgroundButton", "背景"},
                                                            {"LeftUp", "左上"},
                                                            {"MidUp", "上中央"},
                                                            {"RightUp", "右上"},
                                                            {"LeftDown", "左下"},
                                                            {"MidDown", "下中央"},
                                                            {"RightDown", "右下"},
                                                            {"CancelButton", "キャンセル"}};
    for (TTimePropty* dialog : {static_cast<TTimePropty*>(&one), static_cast<TTimePropty*>(&two)}) {
      for (const auto& [name, caption] : captions) {
        auto* button = child<QAbstractButton>(dialog, name);
        QVERIFY2(button != nullptr, name);
        QCOMPARE(button->text(), QString::fromUtf8(caption));
      }
      QCOMPARE(child<QGroupBox>(dialog, "FontOption")->title(),
               QString::fromUtf8("フォントオプション"));
      QCOMPARE(child<QLabel>(dialog, "Label1")->text(), QString::fromUtf8("タイムスタンプの位置"));
      QVERIFY(dialog->AutoSize->isChecked());
      QVERIFY(dialog->Background->isChecked());
      QVERIFY(dialog->FontButton->isEnabled());
      QVERIFY(!dialog->BackgroundButton->isEnabled());
      QVERIFY(dialog->RightDown->isChecked());
      QVERIFY(!dialog->LeftUp->isChecked());
      QVERIFY(dialog->style() == TimeStampStyle{});
      QCOMPARE(dialog->colorDialogColor(), 0xFFFFFFu);
      // The window just encloses its controls.
      const QRect cancel = dialog->CancelButton->geometry();
      QCOMPARE(dialog->height(), cancel.top() + cancel.height() + 47);
      QCOMPARE(dialog->width(), cancel.left() + cancel.width() + 24);
      // The radio buttons sit at the panel's corners and edge middles.
      const QRect panel = dialog->Panel1->rect();
      QVERIFY(dialog->LeftUp->geometry().left() < panel.width() / 4);
      QVERIFY(dialog->LeftUp->geometry().top() < panel.height() / 4);
      QVERIFY(qAbs(dialog->MidUp->geometry().center().x() - panel.center().x()) <= 1);
      QVERIFY(dialog->RightDown->geometry().right() > panel.width() * 3 / 4);
      QVERIFY(dialog->RightDown->geometry().bottom() > panel.height() * 3 / 4);
      QCOMPARE(dialog->LeftDown->geometry().top(), dialog->RightDown->geometry().top());
      for (QRadioButton* radio : {dialog->LeftUp, dialog->MidUp, dialog->RightUp, dialog->LeftDown,
                                  dialog->MidDown, dialog->RightDown}) {
        QCOMPARE(radio->parentWidget(), dialog->Panel1);
        QVERIFY(panel.contains(radio->geometry()));
      }
    }
    QCOMPARE(child<QLabel>(&one, "Panel1Caption")->text(), QString::fromUtf8("画像１"));
    QCOMPARE(child<QLabel>(&two, "Panel1Caption")->text(), QString::fromUtf8("画像２"));
    QVERIFY(child<QLabel>(&one, "Panel1Caption")->font().bold());

    // Image 1's own controls.
    QCOMPARE(one.OkButton->objectName(), QStringLiteral("OkButton"));
    QCOMPARE(one.OkButton->text(), QString::fromUtf8("設定"));
    QCOMPARE(one.TimeFormList1->count(), 14);
    for (int k = 0; k < 14; ++k) {
      QCOMPARE(one.TimeFormList1->item(k)->text(), QString::fromUtf8(kOfferedFormats[k]));
    }
    QCOMPARE(one.TimeFormList1->item(11)->text().toUtf8(),
             QByteArray("gge\"年\"mm\"月\"dd\"日\"h\"時\"n\xE2\x80\x9D分\""));
    QCOMPARE(one.TimeFormList1->item(12)->text(), QString::fromUtf8("gge\"年\"mm\"月\"dd\"日"));
    QVERIFY(one.TimeFormList1->selectedItems().isEmpty());
    QCOMPARE(one.FormSel1->text(), QStringLiteral("hh:nn AM/PM"));
    QCOMPARE(one.format(), std::string("hh:nn AM/PM"));
    QCOMPARE(one.GroupBox1->title(), QString::fromUtf8("サンプル"));
    QCOMPARE(one.DateTimesample->text(), QStringLiteral("03:15 PM"));

    // Image 2 has no format controls and names its set button Button.
    QCOMPARE(two.Button->objectName(), QStringLiteral("Button"));
    QCOMPARE(two.Button->text(), QString::fromUtf8("設定"));
    QVERIFY(child<QWidget>(&two, "TimeFormList1") == nullptr);
    QVERIFY(child<QWidget>(&two, "FormSel1") == nullptr);
    QVERIFY(child<QWidget>(&two, "GroupBox1") == nullptr);
    QVERIFY(child<QWidget>(&two, "DateTimesample") == nullptr);
    QVERIFY(child<QWidget>(&two, "OkButton") == nullptr);
  }

  void storedValuesAreRestored() {
    writeIni(
        "TIMBGTRPRA1=0\nTIMAUTOSIZE1=0\nTIMPOSITION1=3\nTIMFONT1=IPAGothic\nTIMFTCOL1=65280\n"
        "TIMFTSIZE1=20\nTIMFTCS1=0\nTIMFSUDL1=fsUnderline\nTIMBGCOL1=255\nTIMSTYLE1=yyyy\n"
        "TIMPOSITION2=99\nTIMFSBLD2=fsBold\nTIMFSITL2=fsItalic\nTIMFTCS2=abc\n");
    TTimePropty1 one(iniPath().toStdString());
    QVERIFY(!one.Background->isChecked());
    QVERIFY(one.BackgroundButton->isEnabled());  // BackgroundClick ran while loading
    QVERIFY(!one.AutoSize->isChecked());
    QVERIFY(one.RightUp->isChecked());
    QVERIFY(!one.RightDown->isChecked());
    QCOMPARE(one.FormSel1->text(), QStringLiteral("yyyy"));
    QCOMPARE(one.colorDialogColor(), 255u);
    TimeStampStyle expected;
    expected.transparent = false;
    expected.autoSize = false;
    expected.position = 3;
    expected.fontName = "IPAGothic";
    expected.fontColor = 65280;
    expected.fontSize = 20;
    expected.fontCharset = 0;
    expected.underline = true;
    expected.backgroundColor = 255.0f;
    QVERIFY(one.style() == expected);

    TTimePropty2 two(iniPath().toStdString());
    // An unknown position checks no button but is kept (and drawn at the bottom right).
    QVERIFY(two.RightDown->isChecked());
    QCOMPARE(two.style().position, 99);
    QVERIFY(two.style().italic && !two.style().bold);  // the last style key decides
    QCOMPARE(two.style().fontCharset, 128);
  }

  void setButtonWritesInOrderAndCloses() {
    RecordingChooser recorder;
    TTimePropty1 one(iniPath().toStdString());
    one.setFontChooser(&recorder);
    one.setColorChooser(&recorder);
    StampFont italic;
    italic.italic = true;
    italic.size = 18;
    recorder.fonts.push_back(italic);
    one.show();
    click(one.FontButton);
    QCOMPARE(recorder.shownFonts.size(), std::size_t{1});
    QVERIFY(recorder.shownFonts[0] == StampFont{});
    QVERIFY(one.style().italic);  // the font is in force at once
    QCOMPARE(one.style().fontSize, 18);
    QVERIFY(!QFile::exists(iniPath()));  // but not stored

    click(one.OkButton);
    QVERIFY(!one.isVisible());
    QCOMPARE(one.result(), int(QDialog::Accepted));
    const QStringList expected = {"TIMBGTRPRA1", "TIMAUTOSIZE1", "TIMPOSITION1", "TIMFONT1",
                                  "TIMFTCOL1",   "TIMFTSIZE1",   "TIMFTCS1",     "TIMFSITL1",
                                  "TIMBGCOL1",   "TIMSTYLE1"};
    QCOMPARE(keyOrder(iniPath()), expected);
    const TIniFile ini(iniPath().toStdString());
    QCOMPARE(ini.ReadString("OutStyl", "TIMFSITL1", ""), std::string("fsItalic"));
    QCOMPARE(ini.ReadString("OutStyl", "TIMFONT1", ""), std::string("ＭＳ Ｐゴシック"));
    // Without touching the colour dialog the loaded background colour is stored.
    QCOMPARE(ini.ReadString("OutStyl", "TIMBGCOL1", ""), std::string("16777215"));
    QCOMPARE(ini.ReadString("OutStyl", "TIMSTYLE1", ""), std::string("hh:nn AM/PM"));

    // The next program start restores the italic font.
    TTimePropty1 next(iniPath().toStdString());
    QVERIFY(next.style().italic);
    QCOMPARE(next.style().fontSize, 18);
  }

  void boldItalicWritesNoStyleKey() {
    RecordingChooser recorder;
    TTimePropty2 two(iniPath().toStdString());
    two.setFontChooser(&recorder);
    StampFont boldItalic;
    boldItalic.bold = true;
    boldItalic.italic = true;
    recorder.fonts.push_back(boldItalic);
    click(two.FontButton);
    click(two.Button);
    const TIniFile ini(iniPath().toStdString());
    for (const char* key : {"TIMFSBLD2", "TIMFSITL2", "TIMFSUDL2", "TIMFSSTO2"}) {
      QVERIFY2(!ini.ValueExists("OutStyl", key), key);
    }
    QVERIFY(ini.ValueExists("OutStyl", "TIMBGCOL2"));
    QVERIFY(!ini.ValueExists("OutStyl", "TIMSTYLE1"));  // image 2 writes no format
    QVERIFY(!ini.ValueExists("OutStyl", "TIMBGCOL1"));
    QCOMPARE(keyOrder(iniPath()),
             QStringList({"TIMBGTRPRA2", "TIMAUTOSIZE2", "TIMPOSITION2", "TIMFONT2", "TIMFTCOL2",
                          "TIMFTSIZE2", "TIMFTCS2", "TIMBGCOL2"}));
  }

  void setButtonTakesTheControlsAndTheColourDialog() {
    RecordingChooser recorder;
    TTimePropty2 two(iniPath().toStdString());
    two.setColorChooser(&recorder);
    two.Background->setChecked(false);
    recorder.colors.push_back(0x123456u);
    click(two.BackgroundButton);
    QCOMPARE(recorder.shownColors.at(0), 0xFFFFFFu);
    two.AutoSize->setChecked(false);
    click(two.MidDown);
    // Nothing changes before the set button.
    QVERIFY(two.style() == TimeStampStyle{});
    click(two.Button);
    TimeStampStyle expected;
    expected.transparent = false;
    expected.autoSize = false;
    expected.position = 5;
    expected.backgroundColor = static_cast<float>(0x123456);
    QVERIFY(two.style() == expected);
    TTimePropty2 next(iniPath().toStdString());
    QVERIFY(next.style() == expected);
    QVERIFY(next.MidDown->isChecked());
  }

  void cancelKeepsWhatTheUserDidAndWritesNothing() {
    RecordingChooser recorder;
    TTimePropty1 one(iniPath().toStdString());
    one.setFontChooser(&recorder);
    one.setColorChooser(&recorder);
    one.show();
    StampFont bold;
    bold.bold = true;
    bold.name = "IPAGothic";
    recorder.fonts.push_back(bold);
    recorder.fonts.push_back(std::nullopt);  // a cancelled font dialog changes nothing
    click(one.FontButton);
    click(one.FontButton);
    click(one.LeftUp);
    one.AutoSize->setChecked(false);
    one.Background->setChecked(false);
    recorder.colors.push_back(0x0000FFu);
    recorder.colors.push_back(std::nullopt);
    click(one.BackgroundButton);
    click(one.BackgroundButton);
    QCOMPARE(recorder.shownColors.at(1), 0x0000FFu);
    one.FormSel1->setText("hh:nn:ss");
    QCOMPARE(one.format(), std::string("hh:nn:ss"));  // the format at once

    click(one.CancelButton);
    QVERIFY(!one.isVisible());
    QCOMPARE(one.result(), int(QDialog::Rejected));
    QVERIFY(!QFile::exists(iniPath()));
    // The font confirmed before cancelling is in force; the other fields are not.
    TimeStampStyle expected;
    expected.bold = true;
    expected.fontName = "IPAGothic";
    QVERIFY(one.style() == expected);
    // The controls keep what the user did.
    QVERIFY(one.LeftUp->isChecked());
    QVERIFY(!one.AutoSize->isChecked());
    QVERIFY(!one.Background->isChecked());
    QCOMPARE(one.colorDialogColor(), 0x0000FFu);
    QCOMPARE(one.FormSel1->text(), QStringLiteral("hh:nn:ss"));

    // A later set stores all of it.
    one.show();
    click(one.OkButton);
    QCOMPARE(one.style().position, 1);
    QCOMPARE(one.style().backgroundColor, 255.0f);
    const TIniFile ini(iniPath().toStdString());
    QCOMPARE(ini.ReadInteger("OutStyl", "TIMPOSITION1", 0), 1);
    QCOMPARE(ini.ReadString("OutStyl", "TIMFSBLD1", ""), std::string("fsBold"));
    QCOMPARE(ini.ReadString("OutStyl", "TIMSTYLE1", ""), std::string("hh:nn:ss"));
  }

  void unknownPositionIsKeptUntilTheUserChooses() {
    writeIni("TIMPOSITION1=0\n");
    TTimePropty1 one(iniPath().toStdString());
    QCOMPARE(one.style().position, 0);
    QVERIFY(one.RightDown->isChecked());
    one.RightDown->setAutoExclusive(false);
    one.RightDown->setChecked(false);  // no button checked: the set keeps the value
    click(one.OkButton);
    QCOMPARE(TIniFile(iniPath().toStdString()).ReadInteger("OutStyl", "TIMPOSITION1", -1), 0);
  }

  void backgroundClickEnablesTheBackgroundButton() {
    TTimePropty2 two(iniPath().toStdString());
    QVERIFY(!two.BackgroundButton->isEnabled());
    two.show();
    click(two.Background);
    QVERIFY(!two.Background->isChecked());
    QVERIFY(two.BackgroundButton->isEnabled());
    two.Background->setChecked(true);  // also when the program changes the state
    QVERIFY(!two.BackgroundButton->isEnabled());
    two.Background->setChecked(false);
    QVERIFY(two.BackgroundButton->isEnabled());
  }

  void timeFormList1ClickPutsTheItemIntoFormSel1() {
    TTimePropty1 one(iniPath().toStdString());
    one.show();
    QVERIFY(QTest::qWaitForWindowExposed(&one));
    auto clickItem = [&](int row) {
      QListWidgetItem* item = one.TimeFormList1->item(row);
      one.TimeFormList1->scrollToItem(item);
      QTest::mouseClick(one.TimeFormList1->viewport(), Qt::LeftButton, {},
                        one.TimeFormList1->visualItemRect(item).center());
    };
    clickItem(3);
    QCOMPARE(one.FormSel1->text(), QStringLiteral("hh:nn:ss"));
    QCOMPARE(one.format(), std::string("hh:nn:ss"));
    // Clicking the selected item again after editing puts it back.
    one.FormSel1->setText("x");
    clickItem(3);
    QCOMPARE(one.FormSel1->text(), QStringLiteral("hh:nn:ss"));
    clickItem(11);
    QCOMPARE(one.format(), std::string(kOfferedFormats[11]));
    // The arrow keys select too.
    one.TimeFormList1->setFocus();
    QTest::keyClick(one.TimeFormList1, Qt::Key_Down);
    QCOMPARE(one.format(), std::string(kOfferedFormats[12]));
  }

  void failedWriteKeepsTheDialogOpen() {
    RecordingChooser recorder;
    const QString missingDir = dir_.filePath("missing/Snapfolio.ini");
    TTimePropty1 one(missingDir.toStdString());
    one.setMessagePort(&recorder);
    one.show();
    click(one.LeftUp);
    click(one.OkButton);
    QCOMPARE(recorder.messages.size(), std::size_t{1});
    QVERIFY(one.isVisible());
    QCOMPARE(one.style().position, 1);  // taken from the controls before the write
  }

  void fontDialogShowsAndReturnsEveryField() {
    StampFont initial;
    initial.size = 5000;  // shown within the bounds
    initial.charset = 77;
    initial.underline = true;
    initial.color = 0x00FF00;
    StampFontDialog dialog(initial);
    QCOMPARE(dialog.FontName->currentText(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    QCOMPARE(dialog.FontSize->value(), 1000);
    QVERIFY(dialog.Underline->isChecked());
    QVERIFY(!dialog.Bold->isChecked());
    QCOMPARE(dialog.FontCharset->currentData().toInt(), 77);
    StampFont unchanged = initial;
    unchanged.size = 1000;
    QVERIFY(dialog.font() == unchanged);  // the stored face is kept
    // ... and the installed font that stands in for it is named
    QVERIFY(QFontDatabase::families().contains(dialog.DrawnWith->text()));

    RecordingChooser recorder;
    recorder.colors.push_back(0x0000FFu);
    dialog.setColorChooser(&recorder);
    click(dialog.FontColor);
    QCOMPARE(recorder.shownColors.at(0), 0x00FF00u);
    dialog.FontName->setCurrentText("IPAGothic");
    dialog.FontSize->setValue(24);
    dialog.Bold->setChecked(true);
    dialog.StrikeOut->setChecked(true);
    dialog.Underline->setChecked(false);
    dialog.FontCharset->setCurrentIndex(dialog.FontCharset->findData(128));
    const StampFont chosen = dialog.font();
    QCOMPARE(chosen.name, std::string("IPAGothic"));
    QCOMPARE(chosen.size, 24);
    QCOMPARE(chosen.color, 0x0000FFu);
    QCOMPARE(chosen.charset, 128);
    QVERIFY(chosen.bold && chosen.strikeOut && !chosen.underline && !chosen.italic);
    QVERIFY(dialog.Sample->font().bold());
    QCOMPARE(dialog.DrawnWith->text(), QStringLiteral("IPAGothic"));
    QCOMPARE(dialog.Sample->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  }

  // In English the dialog opens on the font and character set the stamp is drawn with, and
  // confirming without a change keeps what is stored.
  void englishFontDialogOpensOnTheDrawnFont() {
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/i18n/snapfolio_en.qm")));
    QCoreApplication::installTranslator(&english);
    const StampFont stored;  // "ＭＳ Ｐゴシック", Japanese character set
    StampFontDialog dialog(stored);
    QVERIFY(QFontDatabase::families().contains(dialog.FontName->currentText()));
    QCOMPARE(dialog.FontName->currentText(), dialog.DrawnWith->text());
    QCOMPARE(dialog.FontCharset->currentText(), QStringLiteral("Western"));
    QVERIFY(dialog.font() == stored);
    dialog.FontCharset->setCurrentIndex(dialog.FontCharset->findData(1));
    dialog.FontName->setCurrentText(QString::fromStdString(stored.name));
    QCOMPARE(dialog.font().charset, 1);
    QCOMPARE(dialog.font().name, stored.name);
    QCoreApplication::removeTranslator(&english);
  }
};

QTEST_MAIN(TimeStampDialogTest)
#include "time_stamp_dialog_test.moc"
