// SPDX-License-Identifier: GPL-3.0-or-later
// The borders dialog (" Add Borders"): the four border widths, a "Color"
// button per border that points the colour picker at it, and OK, which
// draws the borders over the picture.  Modeless; it stays open beside the
// main window while the user tries widths and colours.
#pragma once

#include <QWidget>

#include <array>

class QLineEdit;
class QPushButton;

namespace ombrix
{

struct AppState;

// The width a field's text stands for: 0 to 100, leading spaces allowed,
// anything else 0.
int borderWidthFromText(const QString& text);

class FrmBorder : public QWidget
{
    Q_OBJECT
public:
    FrmBorder(AppState& state, QWidget* parent = nullptr);

    // Widths from the record, and the place beside `mainWindow`.
    void Form_Load(const QWidget* mainWindow);
    // The fields show the record's widths again (the image was shown anew:
    // undo, redo, open), so that OK never writes back widths of before.
    void showWidths();

    void txtBorder_Change(int b);
    void txtBorder_Click(int b);
    void cmdColor_Click(int b);
    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

    QLineEdit* txtBorder(int b) const { return txtBorder_.at(static_cast<size_t>(b)); }

    // Closes the dialog for the program's own reasons (minimising, text
    // mode): the dialog comes back later, so its flag stays set.
    void unload();

signals:
    // The picker is to show the colour of pnBorderIndex.
    void colourPickerWanted();
    // OK with some width: draw the borders over the picture, take a shot.
    void bordersApplied();
    void helpWanted();

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    AppState& state_;
    std::array<QLineEdit*, 4> txtBorder_{};
    std::array<QPushButton*, 4> cmdColor{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;
    bool unloading_ = false;
};

} // namespace ombrix
