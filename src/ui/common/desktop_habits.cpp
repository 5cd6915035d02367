// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/common/desktop_habits.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStandardPaths>

// Outside any namespace, as the resource's own initialiser is.
static void initIconResource()
{
    Q_INIT_RESOURCE(ombrix_icons);
}

namespace ombrix
{

QIcon programIcon()
{
    initIconResource();
    QIcon fallback;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        fallback.addFile(QString(":/icons/%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(kAppId, fallback);
}

void applyProgramIdentity()
{
    QGuiApplication::setDesktopFileName(kAppId);
    QApplication::setWindowIcon(programIcon());
}

QStringList sampleDesignFolders()
{
    QStringList found;
    QStringList candidates = QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, "ombrix/designs", QStandardPaths::LocateDirectory);
    candidates << QDir(QCoreApplication::applicationDirPath()).filePath("../share/ombrix/designs");
    for (const QString& c : candidates) {
        const QString folder = QFileInfo(c).canonicalFilePath();
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && !found.contains(folder))
            found << folder;
    }
    return found;
}

namespace
{

// Qt's own interface for a checkable button toggles it without a click;
// this one clicks.  Name, description and the rest come from the widget as
// Qt's would.
class AccessibleCheckable : public QAccessibleWidget
{
public:
    explicit AccessibleCheckable(QAbstractButton* b) : QAccessibleWidget(b, roleOf(b)) {}

    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            QString caption = button()->text();
            caption.remove(QRegularExpression("&(?!&)"));
            if (!caption.isEmpty())
                return caption;
            // The toolbar's own button for what does not fit.
            if (widget()->objectName() == "qt_toolbar_ext_button")
                return QStringLiteral("More Buttons");
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = button()->isCheckable();
        s.checked = button()->isChecked();
        s.pressed = button()->isDown();
        return s;
    }

    QStringList actionNames() const override
    {
        return QStringList{button()->isCheckable() ? toggleAction() : pressAction()}
               << QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == toggleAction() || action == pressAction()) {
            // Option buttons, like a click, only ever switch on.
            if (button()->isEnabled() && !(role() == QAccessible::RadioButton &&
                                           button()->isChecked() && button()->autoExclusive()))
                button()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    QStringList keyBindingsForAction(const QString& action) const override
    {
        if (!button()->shortcut().isEmpty())
            return {button()->shortcut().toString(QKeySequence::NativeText)};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    static QAccessible::Role roleOf(QAbstractButton* b)
    {
        if (b->inherits("QRadioButton"))
            return QAccessible::RadioButton;
        if (b->inherits("QCheckBox"))
            return QAccessible::CheckBox;
        return QAccessible::Button;
    }
};

// Every window of the program, as it is shown, gets names for its controls:
// the dialogs are made afresh each time.
class NameOnShow : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            nameControls(static_cast<QWidget*>(watched));
        return false;
    }
};

// The text a person reads beside a control in its layout: the label or the
// check box before it, and in a row a label after it ("Maintain aspect ratio
// of ... to 1").
QString textOf(QLayoutItem* item)
{
    QWidget* w = item != nullptr ? item->widget() : nullptr;
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text().trimmed();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text().remove(QRegularExpression("&(?!&)")).trimmed();
    return QString();
}

QString layoutCaption(QWidget* w)
{
    QWidget* parent = w->parentWidget();
    QLayout* layout = nullptr;
    int index = -1;
    // The layout that holds w may be nested in the parent's.
    QList<QLayout*> pending;
    if (parent != nullptr && parent->layout() != nullptr)
        pending << parent->layout();
    while (!pending.isEmpty() && layout == nullptr) {
        QLayout* l = pending.takeFirst();
        for (int i = 0; i < l->count(); ++i) {
            QLayoutItem* item = l->itemAt(i);
            if (item->widget() == w) {
                layout = l;
                index = i;
                break;
            }
            if (item->layout() != nullptr)
                pending << item->layout();
        }
    }
    if (layout == nullptr)
        return QString();
    QString before, after;
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        before = textOf(grid->itemAtPosition(row, column - 1));
        after = textOf(grid->itemAtPosition(row, column + columns));
    } else if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
        before = textOf(box->itemAt(index - 1));
        if (box->direction() == QBoxLayout::LeftToRight)
            after = textOf(box->itemAt(index + 1));
    }
    if (before.isEmpty())
        return QString();
    return after.isEmpty() ? before : before + " ... " + after;
}

// A plain widget that acts on clicks, as a button to a screen reader.
class AccessiblePressable : public QAccessibleWidget
{
public:
    explicit AccessiblePressable(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {}

    QStringList actionNames() const override
    {
        return QStringList{pressAction()} << QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (!widget()->isEnabled())
            return;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
        QCoreApplication::sendEvent(widget(), &press);
    }
};

QAccessibleInterface* checkableFactory(const QString&, QObject* object)
{
    if (object->isWidgetType() && object->property(kPressableProperty).toBool())
        return new AccessiblePressable(static_cast<QWidget*>(object));
    // A tool button takes its checkable state from its action, after its
    // interface may have been asked for: it gets this one either way.
    auto* b = qobject_cast<QAbstractButton*>(object);
    if (b != nullptr && (b->isCheckable() || b->inherits("QToolButton")))
        return new AccessibleCheckable(b);
    return nullptr;
}

} // namespace

void makePressable(QWidget* w)
{
    w->setProperty(kPressableProperty, true);
    // An interface made for it before (a label's, which knows no Press) is
    // dropped, so that the next one asked for is the button's.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(w);
    if (made != nullptr && dynamic_cast<AccessiblePressable*>(made) == nullptr)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void installAccessibleButtons()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(checkableFactory);
    qApp->installEventFilter(new NameOnShow(qApp));
}

void nameControls(QWidget* root)
{
    const auto controls = root->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        const bool control = w->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(w);
        if (!control || !w->accessibleName().isEmpty())
            continue;
        if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && !b->text().isEmpty())
            continue;
        // What the layout shows beside it, else the tooltip's first
        // sentence, without the "Click here to" of the
        // hints: what the control is, not how to use it.
        if (const QString caption = layoutCaption(w); !caption.isEmpty()) {
            w->setAccessibleName(caption);
            continue;
        }
        QString tip = w->toolTip().section(QRegularExpression("[.:]\\s"), 0, 0);
        tip.remove(QRegularExpression("\\.$"));
        tip.remove(QRegularExpression("^Click here to "));
        if (!tip.isEmpty())
            w->setAccessibleName(tip.left(1).toUpper() + tip.mid(1));
    }
}

} // namespace ombrix
