// The Qt implementations of the time-stamp dialogs' ports.
#include "ui/time_stamp/time_stamp_dialog.h"

// Qt
#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

// Project
#include "core/raster.h"
#include "ui/time_stamp/stamp_font_dialog.h"

namespace snapfolio {

namespace {

class QtFontChooser : public FontChooser {
 public:
  std::optional<StampFont> chooseFont(QWidget* parent, const StampFont& current) override {
    StampFontDialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.font();
  }
};

class QtColorChooser : public ColorChooser {
 public:
  std::optional<std::uint32_t> chooseColor(QWidget* parent, std::uint32_t current) override {
    const QColor initial(redOf(current), greenOf(current), blueOf(current));
    const QColor chosen = QColorDialog::getColor(
        initial, parent, QCoreApplication::translate("TTimePropty", "色の設定"));
    if (!chosen.isValid()) return std::nullopt;
    return rgb(chosen.red(), chosen.green(), chosen.blue());
  }
};

class QtMessagePort : public MessagePort {
 public:
  explicit QtMessagePort(QWidget* parent) : parent_(parent) {}
  void showMessage(const std::string& text) override {
    QMessageBox::information(parent_, QApplication::applicationName(),
                             QString::fromStdString(text));
  }
  void showError(const std::string& text) override {
    QMessageBox::critical(parent_, QStringLiteral("ERROR"), QString::fromStdString(text));
  }
  void showFileError(const std::string& text) override {
    QMessageBox::warning(parent_, QStringLiteral("File Error"), QString::fromStdString(text),
                         QMessageBox::Ok | QMessageBox::Cancel);
  }

 private:
  QPointer<QWidget> parent_;
};

}  // namespace

std::unique_ptr<FontChooser> makeQtFontChooser() {
  return std::make_unique<QtFontChooser>();
}

std::unique_ptr<ColorChooser> makeQtColorChooser() {
  return std::make_unique<QtColorChooser>();
}

std::unique_ptr<MessagePort> makeQtMessagePort(QWidget* parent) {
  return std::make_unique<QtMessagePort>(parent);
}

}  // namespace snapfolio
