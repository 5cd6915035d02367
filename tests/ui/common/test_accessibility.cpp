// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader and voice control find and do, through Qt's
// accessibility interfaces (the real AT-SPI bus is tests/atspi/).
#include "ui/common/desktop_habits.h"
#include "ui/main/frm_dim.h"
#include "ui/main/main_widgets.h"
#include "ui/picture/frm_picture.h"
#include "ui/program.h"
#include "ui/text/frm_border.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace ombrix::test
{

namespace
{

bool isControl(const QWidget* w)
{
    return w->isVisibleTo(w->window()) &&
           (w->focusPolicy() != Qt::NoFocus || qobject_cast<const QAbstractButton*>(w) != nullptr);
}

// The names a screen reader would read for each control of `window` that
// has none; empty when every control has one.
QStringList unnamed(QWidget* window)
{
    QStringList missing;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!isControl(w))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        const QString what = window->objectName() + "/" + w->objectName() + " (" +
                             w->metaObject()->className() + ")";
        if (a == nullptr || a->text(QAccessible::Name).trimmed().isEmpty())
            missing << what + ": no name";
        else if (!w->toolTip().isEmpty() && a->text(QAccessible::Description).isEmpty())
            missing << what + ": no description";
    }
    return missing;
}

// The Toggle action, as AT-SPI asks for it.
void toggleThroughAccessibility(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    ASSERT_NE(a, nullptr);
    QAccessibleActionInterface* actions = a->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()))
        << w->objectName().toStdString();
    actions->doAction(QAccessibleActionInterface::toggleAction());
    settle();
}

// The toolbar's button for `b`.
QToolButton* toolButton(FrmMain& m, ToolButton b)
{
    return qobject_cast<QToolButton*>(
        m.findChild<QToolBar*>("Toolbar1")->widgetForAction(m.button(b)));
}

} // namespace

using Accessibility = ProgramTest;

TEST_F(Accessibility, EveryControlOfEveryWindowHasANameAndItsTooltipAsDescription)
{
    for (ToolButton b : {ToolButton::Borders, ToolButton::Resize, ToolButton::Help})
        m.Toolbar1_ButtonClick(b);
    settle();
    QList<QWidget*> windows{&m, m.pictureWindow(), m.textCommands().borderDialog(),
                            m.fileCommands().sizeDialog(),
                            reinterpret_cast<QWidget*>(m.helpWindow())};
    if (QWidget* colour = reinterpret_cast<QWidget*>(m.colourWindow()))
        windows << colour;
    QStringList missing;
    int checked = 0;
    for (QWidget* w : windows) {
        ASSERT_NE(w, nullptr);
        for (QWidget* c : w->findChildren<QWidget*>())
            checked += isControl(c);
        missing << unnamed(w);
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.join("\n").toStdString();
    EXPECT_GT(checked, 40);

    // The toolbar's buttons read their command and, as description, the
    // tooltip with its key.
    QToolButton* newButton = toolButton(m, ToolButton::New);
    ASSERT_NE(newButton, nullptr);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(newButton);
    EXPECT_EQ(a->text(QAccessible::Name), "New");
    EXPECT_TRUE(a->text(QAccessible::Description).startsWith("New Image ("));
}

TEST_F(Accessibility, ToggleActionsDoWhatAClickDoesAndShowKeepsThem)
{
    // A pattern chosen through its option button stays chosen after Show;
    // toggled again it stays chosen, as a click leaves it.
    auto* radio = pg.find<QRadioButton>("optPattern6");
    ASSERT_NE(p.pnPattern, 6);
    toggleThroughAccessibility(radio);
    EXPECT_EQ(p.pnPattern, 6);
    pg.command(ToolButton::Show);
    EXPECT_TRUE(radio->isChecked() && p.pnPattern == 6);
    toggleThroughAccessibility(radio);
    EXPECT_TRUE(radio->isChecked());

    // The rainbow check box: on, kept by Show, and off again.
    auto* rainbow = pg.find<QCheckBox>("chkRainbow");
    toggleThroughAccessibility(rainbow);
    EXPECT_TRUE(rainbow->isChecked());
    pg.command(ToolButton::Show);
    EXPECT_NE(p.pnRainbow, 0);
    toggleThroughAccessibility(rainbow);
    EXPECT_EQ(p.pnRainbow, 0);

    // The "Text" toggle button switches text mode as its click does.
    QToolButton* text = toolButton(m, ToolButton::Text);
    ASSERT_NE(text, nullptr);
    toggleThroughAccessibility(text);
    EXPECT_TRUE(pg.state.flags.pbTextMode && m.button(ToolButton::Text)->isChecked());
    toggleThroughAccessibility(text);
    EXPECT_FALSE(pg.state.flags.pbTextMode);
}

TEST_F(Accessibility, ColourBoxesPanelHandleAndPreviewArePressedLikeButtons)
{
    // A screen reader's Press on the third colour box chooses it for the
    // picker, as a click does; so does Space on the focused box.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(pg.find("picColor2"));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->role(), QAccessible::Button);
    EXPECT_EQ(a->text(QAccessible::Name), "Right/Brim colour");
    ASSERT_NE(a->actionInterface(), nullptr);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    settle();
    EXPECT_EQ(pg.state.v().pnColorIndex, 2);
    QWidget* left = pg.find("picColor0");
    left->setFocus();
    QTest::keyClick(left, Qt::Key_Space);
    settle();
    EXPECT_EQ(pg.state.v().pnColorIndex, 0);

    // The pattern panel's handle opens the back panel from the keyboard, and
    // only then are its options reached by Tab.
    PatternPanels* panels = m.patternPanels();
    QWidget* handle = pg.find("imgOpen");
    QWidget* back = pg.find("optPattern7");
    EXPECT_FALSE(panels->frontPanelOpen());
    EXPECT_EQ(back->focusPolicy(), Qt::NoFocus);
    handle->setFocus();
    QTest::keyClick(handle, Qt::Key_Space);
    EXPECT_TRUE(panels->frontPanelOpen());
    EXPECT_NE(back->focusPolicy(), Qt::NoFocus);
    back->setFocus();
    QTest::keyClick(back, Qt::Key_Space);
    EXPECT_EQ(p.pnPattern, 7);
    QAccessibleInterface* shutAccess = QAccessible::queryAccessibleInterface(pg.find("imgShut"));
    EXPECT_EQ(shutAccess->text(QAccessible::Name), "Close the front panel");
    shutAccess->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(panels->frontPanelOpen());

    // The preview draws again on Enter.
    QWidget* preview = pg.find("picPreview");
    const int draws = m.previewDraws();
    preview->setFocus();
    QTest::keyClick(preview, Qt::Key_Return);
    EXPECT_GT(m.previewDraws(), draws);
}

TEST_F(Accessibility, TabReachesEveryControlOfTheMainWindowInReadingOrder)
{
    m.activateWindow();
    QApplication::setActiveWindow(&m);
    settle();
    QWidget* first = m.focusWidget();
    ASSERT_NE(first, nullptr);
    QList<QWidget*> visited;
    for (int i = 0; i < 100; ++i) {
        QWidget* f = QApplication::focusWidget();
        if (f == nullptr || (i > 0 && f == first))
            break;
        visited << f;
        QTest::keyClick(f, Qt::Key_Tab);
    }
    QStringList missed;
    for (QWidget* w : m.findChildren<QWidget*>()) {
        // The picker and the image window are the main window's children
        // (their transient parent) but windows of their own, with their own
        // Tab order.
        if (w->window() != &m)
            continue;
        if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        // Option buttons of one group are one stop: the chosen one.
        if (auto* r = qobject_cast<QRadioButton*>(w); r != nullptr && !r->isChecked())
            continue;
        if (!visited.contains(w))
            missed << w->objectName() + " (" + w->metaObject()->className() + ")";
    }
    EXPECT_TRUE(missed.isEmpty()) << missed.join(", ").toStdString();
    // As the window reads: the frames column by column, left to right, and
    // down each column (the toolbar is reached by its keys, not by Tab).
    QPoint last(-1, -1);
    for (QWidget* w : visited) {
        QWidget* frame = w;
        for (QWidget* up = w; up != nullptr && up != &m; up = up->parentWidget())
            if (qobject_cast<QGroupBox*>(up) != nullptr)
                frame = up;
        const QPoint at = frame->mapTo(&m, QPoint(0, 0));
        EXPECT_TRUE(at.x() > last.x() || (at.x() == last.x() && at.y() >= last.y()))
            << w->objectName().toStdString() << " in " << frame->objectName().toStdString();
        last = at;
    }
}

TEST_F(Accessibility, ProgramIdentityAndTheSampleDesignsPlace)
{
    applyProgramIdentity();
    EXPECT_EQ(QGuiApplication::desktopFileName(), QString(kAppId));
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_GE(icon.pixmap(QSize(256, 256)).width(), 256);
    EXPECT_EQ(icon.pixmap(QSize(16, 16)).width(), 16);

    // The designs are found under the system's data folders.
    QTemporaryDir data;
    ASSERT_TRUE(QDir(data.path()).mkpath("ombrix/designs"));
    const QByteArray saved = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", data.path().toUtf8());
    const QStringList folders = sampleDesignFolders();
    qputenv("XDG_DATA_DIRS", saved);
    EXPECT_TRUE(folders.contains(QDir(data.filePath("ombrix/designs")).canonicalPath()))
        << folders.join(";").toStdString();
}

} // namespace ombrix::test
