// Text sets, gradient text and borders driven through the windows: text
// mode clicks, the text properties dialog, dragging and nudging, the
// Gradtxt command, the borders dialog, and the labels against the export.
#include "gui/program.h"

#include "colour/frm_color.h"
#include "help/frm_hint.h"
#include "main/ui_text_commands.h"
#include "main/ui_windows.h"
#include "picture/frm_picture.h"
#include "picture/text_labels.h"
#include "picture/texts.h"
#include "text/frm_border.h"
#include "text/frm_text_prop.h"

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
        for (int j = 0; j < 3; ++j) {
            p.psText[3 * k + j] = text;
            p.pnTextSize[3 * k + j] = 20;
        }
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
    FrmTextProp* dialog() const { return main->textCommands().textDialog(); }
    FrmBorder* borders() const { return main->textCommands().borderDialog(); }
    QWidget* label(int t) const { return control(pic, QString("lblText%1").arg(t)); }

    FrmPicture* pic = nullptr;
    QWidget* view = nullptr;
};

} // namespace

TEST(TextMode, AClickAddsASetWhereClickedAndOkStoresIt)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    const double r = deviceRatio(pg.pic);
    pg.press(ToolButton::Text);
    EXPECT_TRUE(pg.state.flags.pbTextMode);
    EXPECT_TRUE(pg.main->button(ToolButton::Text)->isChecked());

    pg.click(pg.view, {120, 90});
    FrmTextProp* d = pg.dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->adding());
    EXPECT_TRUE(pg.state.flags.pbTextDlgShown);
    EXPECT_EQ(pg.state.v().pnColorTarget, ColorTarget::TextSlot);
    EXPECT_FALSE(control<QPushButton>(d, "cmdRemove")->isEnabled());
    EXPECT_FALSE(pg.main->button(ToolButton::Borders)->isEnabled());
    EXPECT_FALSE(pg.main->button(ToolButton::Undo)->isEnabled());
    // The window ignores the mouse and the keys meanwhile.
    pg.click(pg.view, {10, 10});
    EXPECT_EQ(pg.dialog(), d);

    // Minimised and restored, the dialog comes back with its work.
    pg.main->showMinimized();
    settle();
    EXPECT_FALSE(d->isVisible());
    pg.main->showNormal();
    settle();
    EXPECT_TRUE(d->isVisible());
    control<QLineEdit>(d, "txtText")->setText("Hello");
    control<QComboBox>(d, "cboSize")->setEditText("300"); // out of range: 18
    EXPECT_EQ(d->work().size[2], 18);
    control<QComboBox>(d, "cboSize")->setEditText("24");
    control<QRadioButton>(d, "optAlignRight")->setChecked(true);
    const QSize sample = d->sampleSize();
    const int shots = pg.state.history.pnShots;
    control<QPushButton>(d, "cmdOK")->click();
    settle();

    EXPECT_EQ(pg.dialog(), nullptr);
    EXPECT_EQ(p.psText[2], "Hello");
    EXPECT_EQ(p.pnTextSize[0], 24);
    const int cx = static_cast<int>(std::lround(120 * r)),
              cy = static_cast<int>(std::lround(90 * r));
    EXPECT_EQ(QPoint(p.pnTextLeft[0], p.pnTextTop[0]),
              addedTextPosition(TextAlign::Right, cx, cy, sample.width(), sample.height()));
    EXPECT_EQ(pg.pic->textCaption(0), "Hello ");
    EXPECT_EQ(pg.state.history.pnShots, shots + 1);
    EXPECT_FALSE(pg.state.flags.pbTextMode);
    EXPECT_FALSE(pg.main->button(ToolButton::Text)->isChecked());
    EXPECT_TRUE(pg.main->button(ToolButton::Gradtxt)->isEnabled());
    EXPECT_TRUE(pg.main->button(ToolButton::Borders)->isEnabled());

    // "Text" twice: the mode is off again and no dialog is left.
    pg.press(ToolButton::Text);
    pg.click(pg.view, {30, 150});
    ASSERT_NE(pg.dialog(), nullptr);
    pg.press(ToolButton::Text);
    settle();
    EXPECT_EQ(pg.dialog(), nullptr);
    EXPECT_FALSE(pg.state.flags.pbTextMode);
    EXPECT_FALSE(pg.state.flags.pbTextDlgShown);
    EXPECT_EQ(p.psText[3], "");
}

TEST(TextMode, SeventeenthSetGivesTheLimitMessageAndLeavesTextMode)
{
    TextProgram pg;
    for (int k = 0; k < kTextSets; ++k)
        pg.addSet(k, "x", {k * 10, 0});
    pg.press(ToolButton::Text);
    pg.click(pg.view, {200, 150});
    EXPECT_EQ(pg.dialog(), nullptr);
    ASSERT_EQ(pg.prompter.asked.size(), 1u);
    EXPECT_EQ(pg.prompter.asked[0].title, " Ombrix");
    EXPECT_EQ(pg.prompter.asked[0].text, "You can add up to 16 text sets.");
    EXPECT_EQ(pg.prompter.asked[0].icon, Icon::Exclamation);
    EXPECT_FALSE(pg.state.flags.pbTextMode);
    EXPECT_FALSE(pg.main->button(ToolButton::Text)->isChecked());
}

TEST(TextDialog, ModifyCancelAndRemove)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    pg.addSet(1, "Wide", {150, 60}, 2, -2);
    // A font this machine lacks is drawn with a fallback and kept by name.
    p.psTextFont[3] = p.psTextFont[4] = p.psTextFont[5] = "Missing Face";
    pg.press(ToolButton::Text);
    pg.click(pg.label(3), {3, 3});
    FrmTextProp* d = pg.dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->adding());
    EXPECT_EQ(control<QSlider>(d, "sliHighlight")->value(), 2);

    // Highlight's "Change Color" while the shadow's is ticked: the picker
    // edits the highlight and the font controls are locked.
    auto* shadow = control<QCheckBox>(d, "chkShadow");
    auto* highlight = control<QCheckBox>(d, "chkHighlight");
    shadow->click();
    EXPECT_EQ(pg.state.v().pnTextIndex, 5);
    highlight->click();
    EXPECT_FALSE(shadow->isChecked());
    EXPECT_EQ(pg.state.v().pnTextIndex, 4);
    EXPECT_FALSE(control<QLineEdit>(d, "txtText")->isEnabled());
    FrmColor* picker = pg.main->colorWindow();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->swatch(), QColor(255, 255, 255));
    picker->sliColor(0)->setValue(10); // the swatch follows
    EXPECT_EQ(control(d, "picHighlightColor")->palette().color(QPalette::Window).red(), 10);

    // Cancel writes the old colours back and moves nothing.
    control<QPushButton>(d, "cmdCancel")->click();
    settle();
    EXPECT_EQ(p.plTextColor[4], (Colour{255, 255, 255}));
    EXPECT_EQ(p.pnTextLeft[3], 150);
    EXPECT_FALSE(pg.state.flags.pbTextMode);

    // Right-aligned growth keeps the right end where it was.
    pg.press(ToolButton::Text);
    pg.click(pg.label(3), {3, 3});
    d = pg.dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(control<QComboBox>(d, "cboFonts")->currentText(), "Missing Face");
    const QSize before = d->sampleSize();
    control<QRadioButton>(d, "optAlignRight")->setChecked(true);
    control<QComboBox>(d, "cboSize")->setEditText("40");
    const QSize after = d->sampleSize();
    ASSERT_GT(after.width(), before.width());
    // Both offsets 0: the copies take the main text's colour.
    control<QSlider>(d, "sliHighlight")->setValue(0);
    control<QSlider>(d, "sliShadow")->setValue(0);
    control<QPushButton>(d, "cmdOK")->click();
    settle();
    EXPECT_EQ(p.pnTextLeft[3],
              modifiedTextPosition(TextAlign::Right, {150, 60}, after, before).x());
    EXPECT_EQ(p.pnTextLeft[3] + after.width(), 150 + before.width());
    EXPECT_EQ(p.plTextColor[4], p.plTextColor[3]);
    EXPECT_EQ(p.plTextColor[5], p.plTextColor[3]);
    EXPECT_EQ(p.psTextFont[5], "Missing Face");

    // Remove: the set is vacant again, its labels a single space.
    pg.press(ToolButton::Text);
    pg.click(pg.label(5), {1, 1});
    ASSERT_NE(pg.dialog(), nullptr);
    control<QPushButton>(pg.dialog(), "cmdHelp")->click();
    EXPECT_EQ(pg.main->helpWindow()->topic(), 10);
    control<QPushButton>(pg.dialog(), "cmdRemove")->click();
    settle();
    EXPECT_EQ(mVacantTextSetIndex(p), 0);
    EXPECT_EQ(pg.pic->textCaption(3), " ");
    EXPECT_FALSE(pg.main->button(ToolButton::Gradtxt)->isEnabled());
}

TEST(TextLabels, DragByTheShadowAndNudgeWithTheArrows)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    const double r = deviceRatio(pg.pic);
    pg.addSet(2, "Drag", {40, 40}, 3, 6);
    const int shots = pg.state.history.pnShots;

    // Grabbed 4, 5 logical pixels into the shadow label, dropped at 150, 100.
    QWidget* shadow = pg.label(8);
    mouse(shadow, QEvent::MouseButtonPress, {4, 5}, Qt::LeftButton, Qt::LeftButton);
    const QPoint drop = shadow->mapFromGlobal(pg.view->mapToGlobal(QPoint(150, 100)));
    mouse(shadow, QEvent::MouseMove, drop, Qt::NoButton, Qt::LeftButton);
    mouse(shadow, QEvent::MouseButtonRelease, drop, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(pg.state.v().pnTextSetIndex, 2);
    const QPoint main(p.pnTextLeft[6], p.pnTextTop[6]);
    // The main text lies where the grab point's offset puts it.
    EXPECT_NEAR(main.x(), 150 * r - 4 * r, 1.0);
    EXPECT_NEAR(main.y(), 100 * r - 5 * r, 1.0);
    EXPECT_EQ(QPoint(p.pnTextLeft[7], p.pnTextTop[7]), main + QPoint(3, 3));
    EXPECT_EQ(QPoint(p.pnTextLeft[8], p.pnTextTop[8]), main + QPoint(6, 6));
    EXPECT_EQ(pg.state.history.pnShots, shots + 1);
    EXPECT_EQ(pg.pic->textLabelRect(6).topLeft(), main);

    struct Key {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        QPoint move;
    };
    const Key keys[] = {
        {Qt::Key_Right, Qt::NoModifier, {1, 0}},
        {Qt::Key_Right, Qt::ShiftModifier, {2, 0}},
        {Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier, {5, 0}},
        {Qt::Key_Right, Qt::ControlModifier, {1, 0}},
        {Qt::Key_Up, Qt::ShiftModifier, {0, -2}},
        {Qt::Key_Left, Qt::NoModifier, {-1, 0}},
        {Qt::Key_Down, Qt::NoModifier, {0, 1}},
        {Qt::Key_A, Qt::NoModifier, {0, 0}},
    };
    for (const Key& k : keys) {
        const QPoint was(p.pnTextLeft[8], p.pnTextTop[8]);
        QTest::keyClick(pg.pic, k.key, k.mods);
        EXPECT_EQ(QPoint(p.pnTextLeft[8], p.pnTextTop[8]) - was, k.move) << k.key;
    }
    EXPECT_EQ(pg.state.history.pnShots, shots + 1) << "a nudge takes no shot";
}

TEST(GradientText, BlackTextShowsThePatternAndTheHintComesOnce)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    pg.addSet(0, "MW", {20, 20});
    p.pnTextStyle[0][0] = 1;
    pg.main->commands().mUpdateGradtxtButton();
    const QImage pattern = pg.pic->pictures().picShow.image().copy();
    QImage filledHere = pattern;
    mPrintTexts(filledHere, p, 96.0 * deviceRatio(pg.pic));

    pg.state.hintIndex = 0;
    pg.press(ToolButton::Gradtxt);
    EXPECT_EQ(pg.state.hintIndex, 1);
    const QImage& shown = pg.pic->pictures().picShow.image();
    int inside = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb text = filledHere.pixel(x, y), got = shown.pixel(x, y);
            if ((text & 0xffffff) == 0) { // fully inside a letter
                ++inside;
                ASSERT_EQ(got, pattern.pixel(x, y));
            } else if (text == pattern.pixel(x, y)) {
                ASSERT_EQ(got & 0xffffff, 0u);
            }
        }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(pg.pic->textCaption(0), "");
    EXPECT_FALSE(pg.main->button(ToolButton::Text)->isEnabled());
    EXPECT_TRUE(pg.state.flags.pbTextsInPicture);
    // Output takes the filled picture as it is.
    EXPECT_EQ(pg.pic->exportImage(), shown);

    // Again: no hint; Show brings the texts and the button back.
    pg.state.hintIndex = 0;
    pg.press(ToolButton::Gradtxt);
    EXPECT_EQ(pg.state.hintIndex, 0);
    pg.press(ToolButton::Show);
    settle();
    EXPECT_EQ(pg.pic->textCaption(0), "MW ");
    EXPECT_TRUE(pg.main->button(ToolButton::Text)->isEnabled());
    EXPECT_FALSE(pg.state.flags.pbTextsInPicture);
}

TEST(BordersDialog, WidthsColoursAndOk)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    pg.press(ToolButton::Borders);
    FrmBorder* d = pg.borders();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(pg.state.flags.pbBorderDlgShown);
    EXPECT_EQ(d->windowTitle(), " Add Borders");
    EXPECT_EQ(d->txtBorder(0)->text(), " 0");

    // OK with all widths 0: nothing drawn, no shot.
    const int shots = pg.state.history.pnShots;
    const QImage before = pg.pic->pictures().picShow.image().copy();
    control<QPushButton>(d, "cmdOK")->click();
    EXPECT_EQ(pg.state.history.pnShots, shots);
    EXPECT_EQ(pg.pic->pictures().picShow.image(), before);

    // Only 0..100 can be typed.
    QLineEdit* top = d->txtBorder(0);
    top->clear();
    QTest::keyClicks(top, "1a01");
    EXPECT_EQ(top->text(), "10");
    QTest::keyClicks(top, "1");
    EXPECT_EQ(top->text(), "10");
    EXPECT_EQ(p.pnBorderSize[0], 10);
    EXPECT_EQ(borderWidthFromText(" 7"), 7);
    EXPECT_EQ(borderWidthFromText("abc"), 0);

    // A click into a width field points the picker at that border.
    mouse(d->txtBorder(3), QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(pg.state.v().pnColorTarget, ColorTarget::Border);
    EXPECT_EQ(pg.state.v().pnBorderIndex, 3);
    control<QPushButton>(d, "cmdColor0")->click();
    EXPECT_EQ(pg.state.v().pnBorderIndex, 0);
    ASSERT_NE(pg.main->colorWindow(), nullptr);
    pg.main->colorWindow()->sliColor(0)->setValue(255);
    EXPECT_EQ(p.plBorderColor[0][0], 255);

    control<QPushButton>(d, "cmdOK")->click();
    EXPECT_EQ(pg.state.history.pnShots, shots + 1);
    // Help at the borders' topic; the picker goes.
    control<QPushButton>(d, "cmdHelp")->click();
    ASSERT_NE(pg.main->helpWindow(), nullptr);
    EXPECT_EQ(pg.main->helpWindow()->topic(), 11);
    EXPECT_TRUE(pg.main->helpWindow()->pageText().contains("Border"));
    EXPECT_EQ(pg.main->colorWindow(), nullptr);
    const QImage& shown = pg.pic->pictures().picShow.image();
    EXPECT_EQ(shown.pixel(shown.width() / 2, 9), qRgb(255, 0, 0));
    EXPECT_NE(shown.pixel(shown.width() / 2, 10), qRgb(255, 0, 0));

    // Minimising takes it away, restoring brings it back.
    pg.main->showMinimized();
    settle();
    EXPECT_EQ(pg.borders(), nullptr);
    pg.main->showNormal();
    settle();
    ASSERT_NE(pg.borders(), nullptr);
    EXPECT_TRUE(pg.borders()->isVisible());

    // Text mode closes it and keeps "Borders" off; Show after text mode
    // brings it back.
    pg.press(ToolButton::Text);
    pg.main->tmrWatch_Timer();
    settle();
    EXPECT_EQ(pg.borders(), nullptr);
    EXPECT_FALSE(pg.main->button(ToolButton::Borders)->isEnabled());
    EXPECT_TRUE(pg.state.flags.pbBorderDlgShown);
    pg.press(ToolButton::Text);
    pg.press(ToolButton::Show);
    settle();
    ASSERT_NE(pg.borders(), nullptr);
    control<QPushButton>(pg.borders(), "cmdCancel")->click();
    settle();
    EXPECT_FALSE(pg.state.flags.pbBorderDlgShown);
    EXPECT_EQ(p.pnBorderSize[0], 10) << "Close keeps the borders";
}

// Also run on the doubled screen: label places and font sizes are the
// image's device pixels there too.
TEST(ScaledScreen, TextLabelsShowWhatTheExportedImageHolds)
{
    TextProgram pg;
    ImageParams& p = pg.state.p();
    pg.main->toggleImageSize(); // the size label off the picture
    pg.addSet(0, "Ombrix", {11, 13}, 1, 3);
    pg.addSet(1, "fit", {60, 95}, -2, 0);
    p.psTextFont[3] = p.psTextFont[4] = p.psTextFont[5] = "Liberation Serif";
    p.pnTextStyle[3][0] = p.pnTextStyle[4][0] = p.pnTextStyle[5][0] = 1;
    p.pnTextSize[0] = 28;
    p.plTextColor[0] = {250, 200, 0};
    p.plTextColor[2] = {90, 0, 90};
    pg.pic->mSetTextLabels();
    settle();

    const QImage exported = pg.pic->exportImage();
    const QImage shown = pg.view->grab().toImage().convertToFormat(exported.format());
    ASSERT_EQ(shown.size(), exported.size());
    const QImage bare = pg.pic->pictures().picShow.image();
    int textPixels = 0, differing = 0, worst = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            textPixels += exported.pixel(x, y) != bare.pixel(x, y);
            const QRgb a = shown.pixel(x, y), b = exported.pixel(x, y);
            differing += a != b;
            worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
        }
    EXPECT_GT(textPixels, 200);
    // Font smoothing may blend an edge pixel one step apart; nothing more.
    EXPECT_LE(worst, 2);
    EXPECT_LE(differing, textPixels / 100);
}

} // namespace ombrix::test
