// SPDX-License-Identifier: GPL-3.0-or-later
// The hint dialog, driven as a user drives it.
#include "ui/program.h"

#include "ui/help/frm_hint.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace ombrix::test
{

TEST(HintDialog, TextLayoutLampAndSwitch)
{
    AppState state;
    state.hintIndex = 0;
    FrmHint hint(state, nullptr);
    EXPECT_EQ(hint.windowTitle(), " Hint");
    EXPECT_TRUE(hint.messageLabel()->text().startsWith("Too large or too small aspect ratio"));
    EXPECT_EQ(hint.chkShow()->text(), " Do not show this massage any more. ");
    EXPECT_EQ(hint.cmdOK()->text(), "Noted");
    // The lamp sits right of the text, the button in the middle.
    EXPECT_GT(hint.imgMain()->x(), hint.messageLabel()->geometry().right());
    EXPECT_NEAR(hint.cmdOK()->x() * 2 + hint.cmdOK()->width(), hint.width(), 1);

    // The lamp dims at 3 ticks, goes dark at 6 and lights again at 8.
    std::vector<int> frames;
    for (int i = 0; i < 16; ++i) {
        hint.Timer1_Timer();
        frames.push_back(hint.lampFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 0, 0, 0, 1, 1, 1, 2, 2, 0}));

    // Checked then cleared again: the hint stays on.
    hint.chkShow()->click();
    EXPECT_EQ(state.v().pnShowTip[0], 0);
    hint.chkShow()->click();
    EXPECT_EQ(state.v().pnShowTip[0], 1);
}

} // namespace ombrix::test
