// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/main/keys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace ombrix
{

namespace
{

// The desktop's binding for `key`, with `extra` added where it lacks them
// (redo is both Ctrl+Shift+Z and Ctrl+Y on every desktop people come from).
QList<QKeySequence> standard(QKeySequence::StandardKey key, QList<QKeySequence> extra = {})
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    for (const QKeySequence& k : extra)
        if (!keys.contains(k))
            keys << k;
    return keys;
}

} // namespace

QList<QKeySequence> commandKeys(ToolButton button)
{
    switch (button) {
    case ToolButton::New:
        return standard(QKeySequence::New);
    case ToolButton::Open:
        return standard(QKeySequence::Open);
    case ToolButton::Copy:
        return standard(QKeySequence::Copy);
    case ToolButton::Undo:
        return standard(QKeySequence::Undo, {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    case ToolButton::Redo:
        return standard(QKeySequence::Redo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                             QKeySequence(Qt::CTRL | Qt::Key_Y)});
    case ToolButton::Show:
        return standard(QKeySequence::Refresh, {QKeySequence(Qt::Key_F5)});
    case ToolButton::Resize:
        return {QKeySequence(Qt::CTRL | Qt::Key_R)};
    case ToolButton::Save:
        // The button pops up its menu; the key saves the parameters, the
        // menu's items show their own keys.
        return commandKeys(KeyCommand::SaveParameters);
    case ToolButton::Help:
        // Taken by HelpKey, which knows the focused window; named here for
        // the tooltip, as Save's is.
        return standard(QKeySequence::HelpContents, {QKeySequence(Qt::Key_F1)});
    default:
        return {};
    }
}

QList<QKeySequence> commandKeys(KeyCommand command)
{
    switch (command) {
    case KeyCommand::SaveParameters:
        return standard(QKeySequence::Save, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    case KeyCommand::SaveParametersAs:
        return standard(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    case KeyCommand::SaveImageAs:
        return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)};
    case KeyCommand::Quit:
        return standard(QKeySequence::Quit, {QKeySequence(Qt::CTRL | Qt::Key_Q)});
    }
    return {};
}

QString tooltipWithKeys(const QString& tooltip, const QList<QKeySequence>& keys)
{
    if (keys.isEmpty())
        return tooltip;
    return QString("%1 (%2)").arg(tooltip, keys.first().toString(QKeySequence::NativeText));
}

HelpKey::HelpKey(std::function<void()> index, QObject* parent)
    : QObject(parent), index_(std::move(index))
{
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->matches(QKeySequence::HelpContents) && key->key() != Qt::Key_F1)
        return false;
    QWidget* window = QApplication::activeModalWidget();
    if (window == nullptr)
        window = static_cast<QWidget*>(watched)->window();
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>("cmdHelp")) {
        if (b->isVisible() && b->isEnabled()) {
            b->click();
            return true;
        }
    }
    // Dialogs without help of their own (a message, the hint) stay as they are.
    if (QApplication::activeModalWidget() != nullptr)
        return false;
    index_();
    return true;
}

} // namespace ombrix
