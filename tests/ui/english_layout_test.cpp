// The English interface fits the designed layout: in every window and dialog, at its designed
// size, each caption's text (measured with the control's font) fits the width the geometry dump
// reports for its control, as do a list box's longest entry and a spin box's largest value, and
// in both languages no captioned control covers a neighbour's.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>
#include <QTranslator>
#include <QtTest>

#include "support/fixtures.h"
#include "timestamp/font_substitution.h"
#include "ui/common/geometry_dump.h"
#include "ui/correction/correction_dialog.h"
#include "ui/kept_album/kept_album_dialog.h"
#include "ui/main_window/main_window.h"
#include "ui/photo_options/photo_options_dialog.h"
#include "ui/time_stamp/stamp_font_dialog.h"
#include "ui/time_stamp/time_stamp_dialog.h"

using namespace snapfolio;

namespace {

// The room a control's text has inside its width: a check box or radio button loses its
// indicator, a push button its frame, a group box the margins beside its title.
int textRoom(const QWidget* control, int width) {
  const QStyle* style = control->style();
  if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control)) {
    return width - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control) -
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, control);
  }
  if (auto* box = qobject_cast<const QComboBox*>(control)) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.rect = QRect(0, 0, width, box->height());
    option.editable = box->isEditable();
    return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box)
               .width() -
           4;
  }
  if (auto* spin = qobject_cast<const QAbstractSpinBox*>(control)) {
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.rect = QRect(0, 0, width, spin->height());
    option.subControls = QStyle::SC_SpinBoxEditField | QStyle::SC_SpinBoxUp;
    return style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, spin)
               .width() -
           4;
  }
  if (qobject_cast<const QAbstractButton*>(control)) return width - 6;
  if (qobject_cast<const QGroupBox*>(control)) return width - 16;
  return width;
}

QString caption(const QWidget* control) {
  if (auto* b = qobject_cast<const QAbstractButton*>(control)) return b->text().remove('&');
  if (auto* l = qobject_cast<const QLabel*>(control)) return l->text();
  if (auto* g = qobject_cast<const QGroupBox*>(control)) return g->title();
  // A list box must show the longest of its fixed entries (an editable one, its current text);
  // the list of the machine's drives shows data, not captions.
  if (auto* c = qobject_cast<const QComboBox*>(control)) {
    if (c->objectName().startsWith(QLatin1String("DriveComboBox"))) return {};
    QString longest = c->currentText();
    for (int i = 0; !c->isEditable() && i < c->count(); ++i) {
      if (c->fontMetrics().horizontalAdvance(c->itemText(i)) >
          c->fontMetrics().horizontalAdvance(longest)) {
        longest = c->itemText(i);
      }
    }
    return longest;
  }
  if (auto* s = qobject_cast<const QSpinBox*>(control)) {
    return s->prefix() + QString::number(s->maximum()) + s->suffix();
  }
  return {};
}

}  // namespace

class EnglishLayoutTest : public QObject {
  Q_OBJECT

 private:
  // Checks every named control of `window` that the dump lists.
  void checkFits(QWidget* window) {
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRegularExpression line(
        QStringLiteral("^geometry: [^/]+/(.+)=(-?\\d+),(-?\\d+),(\\d+),(\\d+)$"));
    int checked = 0;
    for (const QString& entry : geometryLines(window)) {
      const auto match = line.match(entry);
      QVERIFY2(match.hasMatch(), qPrintable(entry));
      auto* control = window->findChild<QWidget*>(match.captured(1));
      const QString text = control == nullptr ? QString() : caption(control);
      if (text.isEmpty()) continue;
      ++checked;
      const int needed = control->fontMetrics().horizontalAdvance(text);
      const int room = textRoom(control, match.captured(4).toInt());
      QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1 \"%2\" needs %3 px, has %4")
                                              .arg(match.captured(1), text)
                                              .arg(needed)
                                              .arg(room)));
    }
    QVERIFY(checked > 0);
    checkNoneCovered(window);
    window->hide();
  }

  // No two visible captioned controls of one parent overlap: the one above would cut the
  // other's caption (buttons sized to their text, side by side on one edge of a panel). A
  // control lying wholly on another (buttons on a panel's picture caption) is placed there.
  void checkNoneCovered(QWidget* window) {
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (QWidget* a : controls) {
      for (QWidget* b : controls) {
        if (a >= b || a->parentWidget() != b->parentWidget() || !a->isVisible() ||
            !b->isVisible() || caption(a).isEmpty() || caption(b).isEmpty()) {
          continue;
        }
        const QRect both = a->geometry() & b->geometry();
        QVERIFY2(both.isEmpty() || both == a->geometry() || both == b->geometry(),
                 qPrintable(QStringLiteral("%1 \"%2\" and %3 \"%4\" overlap")
                                .arg(a->objectName(), caption(a), b->objectName(), caption(b))));
      }
    }
  }

  // The window made by `make`, in English: its captions fit, and it keeps the size the
  // Japanese window has (a layout that grew to fit a longer text would move the design).
  // A dialog without a designed size (`designed` false) may grow.
  template <typename Make>
  void check(Make make, bool designed = true) {
    QCoreApplication::removeTranslator(&english_);
    auto japanese = make();
    japanese->show();
    QVERIFY(QTest::qWaitForWindowExposed(japanese.get()));
    checkNoneCovered(japanese.get());
    QCoreApplication::installTranslator(&english_);
    auto window = make();
    checkFits(window.get());
    if (designed) QCOMPARE(window->size(), japanese->size());
  }

  QTranslator english_;
  test::TempDir dir_;

 private slots:
  void initTestCase() {
    registerFontSubstitutions();
    QVERIFY(english_.load(QStringLiteral(":/i18n/snapfolio_en.qm")));
    QCoreApplication::installTranslator(&english_);
  }

  void windowAndDialogs() {
    check([&] {
      return std::make_unique<TSnapfolio>(
          MainWindowEnvironment{.workingDirectory = dir_.path().string()});
    });
    const std::string settings = (dir_.path() / "Snapfolio.ini").string();
    check([&] { return std::make_unique<TTimePropty1>(settings); });
    check([&] { return std::make_unique<TTimePropty2>(settings); });
    check([&] { return std::make_unique<TAdjstPropty1>(settings); });
    check([&] { return std::make_unique<TPhotoPropty>(settings); });
    check([&] { return std::make_unique<StampFontDialog>(StampFont{}); }, false);
    check([&] { return std::make_unique<TKeptAlbum>(settings); }, false);
    QCOMPARE(TAdjstPropty1(settings).windowTitle(), QStringLiteral("Correction values"));
  }
};

QTEST_MAIN(EnglishLayoutTest)
#include "english_layout_test.moc"
