// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard: the desktop's standard keys for the commands, so that its own
// bindings apply, and F1 for the help of the window that has the focus.
#pragma once

#include "ui/main/toolbar.h"

#include <QKeySequence>
#include <QList>
#include <QObject>

#include <functional>

namespace ombrix
{

// The keys of a toolbar button's command, for its tooltip and, but for Save
// (whose button pops up a menu) and Help (HelpKey's), its shortcut.
QList<QKeySequence> commandKeys(ToolButton button);

// The commands that have a key but no button of their own.
enum class KeyCommand { SaveParameters, SaveParametersAs, SaveImageAs, Quit };
QList<QKeySequence> commandKeys(KeyCommand command);

// A tooltip that names the command's first key: "Copy Image (Ctrl+C)".
QString tooltipWithKeys(const QString& tooltip, const QList<QKeySequence>& keys);

// F1 anywhere in the program: the focused window's own help (a dialog's Help
// button), else the program's help index.  Installed on the application, so
// that it reaches modal dialogs, which no window shortcut does.
class HelpKey : public QObject
{
public:
    explicit HelpKey(std::function<void()> index, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> index_;
};

} // namespace ombrix
