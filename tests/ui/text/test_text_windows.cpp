// SPDX-License-Identifier: GPL-3.0-or-later
// Text sets, gradient text and borders driven through the windows.
#include "ui/program.h"

#include "picture/gradient_text.h"
#include "picture/text_labels.h"
#include "ui/colour/frm_color.h"
#include "ui/help/frm_hint.h"
#include "ui/main/text_commands.h"
#include "ui/text/frm_border.h"
#include "ui/text/frm_text_prop.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

namespace ombrix::test
{

namespace
{

// A program with its image window shown, hint 1 switched off (its dialog
// is modal) and the given sets in the record.
struct TextProgram : Program {
    TextProgram()
    {
        state.v().pnShowTip[1] = 0;
        pic = main->pictureWindow();
        view = control(pic, "picShow");
    }
    void addSet(int k, const char* text, QPoint at, Integer highlight = 0, Integer shadow = 0)
    {
        ImageParams& p = state.p();
        for (int j = 0; j < 3; ++j)
            p.psText[3 * k + j] = text;
        p.pnHighlightOffset[k] = highlight;
        p.pnShadowOffset[k] = shadow;
        placeTextSet(p, k, at.x(), at.y());
        pic->mSetTextLabels();
    }
    void click(QWidget* w, QPoint at)
    {
        mouse(w, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        settle();
    }
    void press(ToolButton b) { main->button(b)->trigger(); }
    // "Text", then a click on `w`: the dialog that opens, if any.
    FrmTextProp* textClick(QWidget* w, QPoint at)
    {
        press(ToolButton::Text);
        click(w, at);
        return dialog();
    }
    bool on(ToolButton b) const { return main->button(b)->isEnabled(); }
    QPoint at(int t) { return {state.p().pnTextLeft[t], state.p().pnTextTop[t]}; }
    FrmTextProp* dialog() const { return main->textCommands().textDialog(); }
    FrmBorder* borders() const { return main->textCommands().borderDialog(); }
    QWidget* label(int t) const { return control(pic, QString("lblText%1").arg(t)); }

    FrmPicture* pic = nullptr;
    QWidget* view = nullptr;
};

template <class T = QPushButton> T* in(const QObject* window, const char* name)
{
    return control<T>(window, name);
}

} // namespace

TEST(TextMode, AClickAddsASetWhereClickedAndOkStoresIt)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    const double r = deviceRatio(pg.pic);
    pg.press(ToolButton::Text);
    EXPECT_TRUE(pg.state.flags.pbTextMode);
    pg.click(pg.view, {120, 90});
    FrmTextProp* d = pg.dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->adding());
    EXPECT_FALSE(in(d, "cmdRemove")->isEnabled());
    EXPECT_FALSE(pg.on(ToolButton::Borders) || pg.on(ToolButton::Undo));
    // The window ignores the mouse meanwhile; minimised and restored, the
    // dialog comes back with its work.
    pg.click(pg.view, {10, 10});
    EXPECT_EQ(pg.dialog(), d);
    pg.main->showMinimized();
    pg.main->showNormal();
    settle();
    EXPECT_TRUE(d->isVisible());

    in<QLineEdit>(d, "txtText")->setText("Hello");
    in<QRadioButton>(d, "optAlignRight")->setChecked(true);
    const QSize sample = d->sampleSize();
    const int shots = pg.state.history.shots();
    // Enter in the text field means OK, as in a modal dialog.
    QTest::keyClick(in<QLineEdit>(d, "txtText"), Qt::Key_Return);
    settle();
    EXPECT_EQ(p.psText[2], "Hello");
    EXPECT_EQ(pg.at(0), addedTextPosition(TextAlign::Right, static_cast<int>(std::lround(120 * r)),
                                          static_cast<int>(std::lround(90 * r)), sample.width(),
                                          sample.height()));
    EXPECT_EQ(pg.pic->textCaption(0), "Hello ");
    EXPECT_EQ(pg.state.history.shots(), shots + 1);
    EXPECT_FALSE(pg.state.flags.pbTextMode || pg.main->button(ToolButton::Text)->isChecked());
    EXPECT_TRUE(pg.on(ToolButton::Gradtxt));

    // "Text" twice: the mode is off again, no dialog is left, and the colour
    // the picker changed meanwhile goes back as on Cancel.
    ASSERT_NE(pg.textClick(pg.view, {30, 150}), nullptr);
    pg.main->colourWindow()->sliColor(1)->setValue(99);
    EXPECT_EQ(p.plTextColor[3][1], 99);
    pg.press(ToolButton::Text);
    EXPECT_EQ(p.plTextColor[3][1], 0);
    settle();
    EXPECT_EQ(pg.dialog(), nullptr);
    EXPECT_FALSE(pg.state.flags.pbTextMode || pg.state.flags.pbTextDlgShown);

    // With all sixteen sets in use a click gives the limit message instead.
    for (int k = 0; k < kTextSets; ++k)
        pg.addSet(k, "x", {k * 10, 0});
    EXPECT_EQ(pg.textClick(pg.view, {200, 150}), nullptr);
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    const Question& q = pg.prompter.asked[0];
    EXPECT_TRUE(q.title == " Ombrix" && q.icon == Icon::Exclamation);
    EXPECT_EQ(q.text, "You can add up to 16 text sets.");
    EXPECT_FALSE(pg.state.flags.pbTextMode || pg.main->button(ToolButton::Text)->isChecked());
}

TEST(TextDialog, ModifyCancelAndRemove)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    pg.addSet(1, "Wide", {150, 60}, 2, -2);
    // A font this machine lacks is drawn with a fallback and kept by name.
    p.psTextFont[3] = p.psTextFont[4] = p.psTextFont[5] = "Missing Face";
    FrmTextProp* d = pg.textClick(pg.label(3), {3, 3});
    ASSERT_NE(d, nullptr);

    // Highlight's "Change Color" while the shadow's is ticked: the picker
    // edits the highlight and the font controls rest.
    in<QCheckBox>(d, "chkShadow")->click();
    in<QCheckBox>(d, "chkHighlight")->click();
    EXPECT_FALSE(in<QCheckBox>(d, "chkShadow")->isChecked());
    EXPECT_EQ(pg.state.v().pnTextIndex, 4);
    EXPECT_FALSE(in<QLineEdit>(d, "txtText")->isEnabled());
    FrmColor* picker = pg.main->colourWindow();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->swatchColour(), QColor(255, 255, 255));
    picker->sliColor(0)->setValue(10); // the swatch follows
    EXPECT_EQ(in<QWidget>(d, "picHighlightColor")->palette().color(QPalette::Window).red(), 10);

    // Cancel (Escape) writes the old colours back and moves nothing.
    QTest::keyClick(d, Qt::Key_Escape);
    settle();
    EXPECT_EQ(p.plTextColor[4], (Colour{255, 255, 255}));
    EXPECT_EQ(pg.at(3), QPoint(150, 60));

    // Right-aligned growth keeps the right end where it was; both offsets
    // 0 give the copies the main text's colour.
    d = pg.textClick(pg.label(3), {3, 3});
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(in<QComboBox>(d, "cboFonts")->currentText(), "Missing Face");
    const QSize before = d->sampleSize();
    in<QRadioButton>(d, "optAlignRight")->setChecked(true);
    in<QComboBox>(d, "cboSize")->setEditText("40");
    const QSize after = d->sampleSize();
    ASSERT_GT(after.width(), before.width());
    in<QSlider>(d, "sliHighlight")->setValue(0);
    in<QSlider>(d, "sliShadow")->setValue(0);
    in(d, "cmdOK")->click();
    settle();
    EXPECT_EQ(p.pnTextLeft[3] + after.width(), 150 + before.width());
    EXPECT_EQ(p.plTextColor[4], p.plTextColor[3]);
    EXPECT_EQ(p.plTextColor[5], p.plTextColor[3]);
    EXPECT_EQ(p.psTextFont[5], "Missing Face");

    // Help at the texts' topic; Remove makes the set vacant again.
    d = pg.textClick(pg.label(5), {1, 1});
    ASSERT_NE(d, nullptr);
    in(d, "cmdHelp")->click();
    EXPECT_EQ(pg.main->helpWindow()->topic(), 10);
    in(pg.dialog(), "cmdRemove")->click();
    settle();
    EXPECT_EQ(mVacantTextSetIndex(p), 0);
    EXPECT_EQ(pg.pic->textCaption(3), " ");
    EXPECT_FALSE(pg.on(ToolButton::Gradtxt));
}

TEST(TextLabels, DragByTheShadowAndNudgeWithTheArrows)
{
    TextProgram pg;
    const double r = deviceRatio(pg.pic);
    pg.addSet(2, "Drag", {40, 40}, 3, 6);
    const int shots = pg.state.history.shots();

    // Grabbed 4, 5 logical pixels into the shadow label, dropped at 150, 100:
    // the main text goes where the grab offset puts it, the copies follow.
    QWidget* shadow = pg.label(8);
    mouse(shadow, QEvent::MouseButtonPress, {4, 5}, Qt::LeftButton, Qt::LeftButton);
    const QPoint drop = shadow->mapFromGlobal(pg.view->mapToGlobal(QPoint(150, 100)));
    mouse(shadow, QEvent::MouseMove, drop, Qt::NoButton, Qt::LeftButton);
    mouse(shadow, QEvent::MouseButtonRelease, drop, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(pg.state.v().pnTextSetIndex, 2);
    const QPoint main = pg.at(6);
    EXPECT_NEAR(main.x(), 146 * r, 1.0);
    EXPECT_NEAR(main.y(), 95 * r, 1.0);
    EXPECT_EQ(pg.at(7), main + QPoint(3, 3));
    EXPECT_EQ(pg.at(8), main + QPoint(6, 6));
    EXPECT_EQ(pg.pic->textLabelRect(6).topLeft(), main);
    EXPECT_EQ(pg.state.history.shots(), shots + 1);

    const Qt::KeyboardModifiers shiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, QPoint> keys[] = {
        {Qt::Key_Right, Qt::NoModifier, {1, 0}},  {Qt::Key_Right, Qt::ShiftModifier, {2, 0}},
        {Qt::Key_Right, shiftCtrl, {5, 0}},       {Qt::Key_Right, Qt::ControlModifier, {1, 0}},
        {Qt::Key_Up, Qt::ShiftModifier, {0, -2}}, {Qt::Key_Left, Qt::NoModifier, {-1, 0}},
        {Qt::Key_Down, Qt::NoModifier, {0, 1}},   {Qt::Key_A, Qt::NoModifier, {0, 0}},
    };
    for (const auto& [key, mods, move] : keys) {
        const QPoint was = pg.at(8);
        QTest::keyClick(pg.pic, key, mods);
        EXPECT_EQ(pg.at(8) - was, move) << key;
    }
    EXPECT_EQ(pg.state.history.shots(), shots + 1) << "a nudge takes no shot";
}

TEST(GradientText, BlackTextShowsThePatternAndTheHintComesOnce)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    pg.addSet(0, "MW", {20, 20});
    pg.main->commands().mUpdateGradtxtButton();
    // The fill on pixels is tested on its own; here the window's picture
    // must be exactly that fill of what it showed.
    QImage expected = pg.pic->pictures().picShow.image().copy();
    ASSERT_TRUE(mMakeGradientText(expected, p, 96.0 * deviceRatio(pg.pic)));
    pg.state.hintIndex = 0;
    pg.press(ToolButton::Gradtxt);
    EXPECT_EQ(pg.state.hintIndex, 1);
    const QImage& shown = pg.pic->pictures().picShow.image();
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(pg.pic->textCaption(0), "");
    EXPECT_EQ(pg.pic->exportImage(), shown) << "output takes the filled picture as it is";
    // The texts are pixels now: an arrow key brought their captions back over
    // the filled picture, and moved no text under its filled letters.
    const ImageParams filled = p;
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left})
        QTest::keyClick(pg.pic, k, Qt::ShiftModifier);
    EXPECT_FALSE(pg.label(0)->isVisible());
    EXPECT_TRUE(p == filled);

    // Again: no hint; Show brings the texts and the button back.
    pg.state.hintIndex = 0;
    pg.press(ToolButton::Gradtxt);
    EXPECT_EQ(pg.state.hintIndex, 0);
    pg.press(ToolButton::Show);
    settle();
    EXPECT_EQ(pg.pic->textCaption(0), "MW ");
    EXPECT_TRUE(pg.on(ToolButton::Text));
    EXPECT_FALSE(pg.state.flags.pbTextsInPicture);
    EXPECT_TRUE(pg.label(0)->isVisible());
    QTest::keyClick(pg.pic, Qt::Key_Right);
    EXPECT_EQ(pg.at(0), QPoint(21, 20));
}

TEST(BordersDialog, WidthsColoursAndOk)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    pg.press(ToolButton::Borders);
    FrmBorder* d = pg.borders();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->txtBorder(0)->text(), " 0");

    // OK with all widths 0: nothing drawn, no shot.
    const int shots = pg.state.history.shots();
    const QImage before = pg.pic->pictures().picShow.image().copy();
    in(d, "cmdOK")->click();
    EXPECT_EQ(pg.state.history.shots(), shots);
    EXPECT_EQ(pg.pic->pictures().picShow.image(), before);

    // Only 0..100 can be typed.
    QLineEdit* top = d->txtBorder(0);
    top->clear();
    QTest::keyClicks(top, "1a011");
    EXPECT_EQ(top->text(), "10");
    EXPECT_EQ(p.pnBorderSize[0], 10);

    // A click into a width field points the picker at that border, as its
    // "Color" button does.
    mouse(d->txtBorder(3), QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(pg.state.v().pnColorTarget, ColourTarget::Border);
    EXPECT_EQ(pg.state.v().pnBorderIndex, 3);
    in(d, "cmdColor0")->click();
    EXPECT_EQ(pg.state.v().pnBorderIndex, 0);
    ASSERT_NE(pg.main->colourWindow(), nullptr);
    pg.main->colourWindow()->sliColor(0)->setValue(255);
    in(d, "cmdOK")->click();
    EXPECT_EQ(pg.state.history.shots(), shots + 1);
    const QImage& shown = pg.pic->pictures().picShow.image();
    EXPECT_EQ(shown.pixel(shown.width() / 2, 9), qRgb(255, 0, 0));
    EXPECT_NE(shown.pixel(shown.width() / 2, 10), qRgb(255, 0, 0));
    // Help (its topic is a window fault test's part) takes the picker away.
    in(d, "cmdHelp")->click();
    EXPECT_EQ(pg.main->colourWindow(), nullptr);

    // Minimising takes it away, restoring brings it back.
    pg.main->showMinimized();
    settle();
    EXPECT_EQ(pg.borders(), nullptr);
    pg.main->showNormal();
    settle();
    EXPECT_NE(pg.borders(), nullptr);

    // Text mode closes it and keeps "Borders" off; Show after text mode
    // brings it back; "Close" ends it and keeps the borders.
    pg.press(ToolButton::Text);
    pg.main->tmrWatch_Timer();
    settle();
    EXPECT_EQ(pg.borders(), nullptr);
    EXPECT_FALSE(pg.on(ToolButton::Borders));
    pg.press(ToolButton::Text);
    pg.press(ToolButton::Show);
    ASSERT_NE(pg.borders(), nullptr);
    in(pg.borders(), "cmdCancel")->click();
    settle();
    EXPECT_FALSE(pg.state.flags.pbBorderDlgShown);
    EXPECT_EQ(p.pnBorderSize[0], 10);
}

// Also run on the doubled screen: label places and font sizes are the
// image's device pixels there too.
TEST(ScaledScreen, TextLabelsShowWhatTheExportedImageHolds)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    pg.main->toggleImageSize(); // the size label off the picture
    pg.addSet(0, "Ombrix", {11, 13}, 1, 3);
    p.plTextColor[0] = {250, 200, 0};
    p.pnTextStyle[0][0] = 1;
    pg.addSet(1, "fit", {60, 95}, -2, 0);
    p.psTextFont[3] = p.psTextFont[4] = p.psTextFont[5] = "Liberation Serif";
    pg.pic->mSetTextLabels();
    settle();

    const QImage exported = pg.pic->exportImage();
    const QImage shown = pg.view->grab().toImage().convertToFormat(exported.format());
    ASSERT_EQ(shown.size(), exported.size());
    const QImage bare = pg.pic->pictures().picShow.image();
    int textPixels = 0, worst = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            textPixels += exported.pixel(x, y) != bare.pixel(x, y);
            const QRgb a = shown.pixel(x, y), b = exported.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_GT(textPixels, 200);
    // Font smoothing may blend an edge pixel one step apart; nothing more.
    EXPECT_LE(worst, 2);
}

} // namespace ombrix::test
