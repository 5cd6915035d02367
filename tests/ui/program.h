// SPDX-License-Identifier: GPL-3.0-or-later
// A whole desktop program for a test: its own state, settings file and a
// prompter whose answers the test writes in advance, and small helpers to
// reach its controls by their names and to drive the mouse.
#pragma once

#include "editing/app_state.h"
#include "ui/common/prompter.h"
#include "ui/common/window_tools.h"
#include "ui/main/frm_main.h"
#include "ui/picture/frm_picture.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace ombrix::test
{

struct Question {
    QString title;
    QString text;
    Buttons buttons;
    Icon icon;
};

class ScriptedPrompter final : public Prompter
{
public:
    std::deque<Answer> answers; // taken in order; Cancel when none is left
    QString fileName;           // what every save dialog returns
    std::vector<Question> asked;
    QString lastDialogTitle;

    Answer ask(QWidget*, const QString& title, const QString& text, Buttons buttons,
               Icon icon) override
    {
        asked.push_back({title, text, buttons, icon});
        if (answers.empty())
            return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString saveFileName(QWidget*, const QString& caption, const QString&, const QString&) override
    {
        lastDialogTitle = caption;
        return fileName;
    }
    // The file dialogs of the file commands: what they were shown with, and
    // the answer (fileName; the type chosen in a typed save dialog).
    QString lastFolder;
    QString chosenType; // empty: the dialog's first type stays chosen
    QString openFileName(QWidget*, const QString& caption, const QString& folder,
                         const QString&) override
    {
        lastDialogTitle = caption;
        lastFolder = folder;
        return fileName;
    }
    QString saveFileNameOfType(QWidget*, const QString& caption, const QString& folder,
                               const QString&, QString& selectedFilter) override
    {
        lastDialogTitle = caption;
        lastFolder = folder;
        if (!chosenType.isEmpty())
            selectedFilter = chosenType;
        return fileName;
    }
};

// The offscreen platform cannot raise windows, grab the keyboard or pass
// size hints, and says so every time; everything else Qt reports is kept.
inline QtMessageHandler gStandardHandler = nullptr;

inline void quietOffscreenWarnings()
{
    gStandardHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text.startsWith("This plugin does not support"))
                return;
            if (gStandardHandler != nullptr)
                gStandardHandler(type, context, text);
            else
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
}

// Runs everything queued (the image window's coalesced resize, deferred
// deletes) without waiting for timers.
inline void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// A control of a window by its name (the names the program's tables give).
template <class T = QWidget> T* control(const QObject* window, const QString& name)
{
    T* c = window->findChild<T*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
}

// A mouse event with the buttons held, as the window system sends it.
inline void mouse(QWidget* w, QEvent::Type type, const QPoint& local, Qt::MouseButton button,
                  Qt::MouseButtons held)
{
    QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// A window manager's frame, as the windows see it, for the length of a scope.
struct StandInFrame {
    explicit StandInFrame(QMargins m) { setStandInFrame(m); }
    ~StandInFrame() { setStandInFrame(std::nullopt); }
};

class Program
{
public:
    // Programs built with the same folder share one settings file, the way
    // two runs of the real program do.
    explicit Program(const QString& folder = QString(), bool load = true)
    {
        const QString ini = (folder.isEmpty() ? dir.path() : folder) + "/ombrix.ini";
        MainOptions o;
        o.prompter = &prompter;
        o.openSettings = [ini] { return std::make_unique<QSettings>(ini, QSettings::IniFormat); };
        main = std::make_unique<FrmMain>(state, o);
        if (load) {
            main->Form_Load();
            settle();
        }
    }
    ~Program()
    {
        main.reset();
        settle();
    }

    // Closes through the exit question, answering it with `a`.
    bool close(Answer a)
    {
        prompter.answers.push_back(a);
        return main->close();
    }
    template <class T = QWidget> T* find(const QString& name) const
    {
        return control<T>(main.get(), name);
    }
    // The hints are modal: switched off, as a user who has read them would.
    void noHints()
    {
        for (Integer& tip : state.v().pnShowTip)
            tip = 0;
    }
    // The picture the image window shows.
    const QImage& shown() const { return main->picture().pictures().picShow.image(); }
    // A toolbar command, and what it queued.
    void command(ToolButton b)
    {
        main->Toolbar1_ButtonClick(b);
        settle();
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    AppState state;
    std::unique_ptr<FrmMain> main;
};

// A test with a program of its own, as the user starts it.
struct ProgramTest : testing::Test {
    Program pg;
    FrmMain& m = *pg.main;
    ImageParams& p = pg.state.p();
};

} // namespace ombrix::test
