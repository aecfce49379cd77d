#include "core/DlgItem.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QQueue>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>

void SetCtrlId(QWidget* control, int id)
{
    if (control)
        control->setProperty("ctrlId", id);
}

int CtrlId(const QWidget* control)
{
    return control ? control->property("ctrlId").toInt() : 0;
}

QWidget* GetDlgItem(QWidget* parent, int id)
{
    if (!parent)
        return nullptr;
    QQueue<QWidget*> queue;
    queue.enqueue(parent);
    while (!queue.isEmpty()) {
        QWidget* w = queue.dequeue();
        for (QObject* o : w->children()) {
            auto* child = qobject_cast<QWidget*>(o);
            if (!child)
                continue;
            if (CtrlId(child) == id)
                return child;
            queue.enqueue(child);
        }
    }
    return nullptr;
}

void SetWindowText(QWidget* w, const QString& text)
{
    if (!w)
        return;
    if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
    else if (auto* t = qobject_cast<QTextEdit*>(w))
        t->setPlainText(text);
    else if (w->isWindow() || w->metaObject()->indexOfProperty("text") < 0)
        w->setWindowTitle(text);
    else
        w->setProperty("text", text);
}

QString GetWindowText(const QWidget* w)
{
    if (!w)
        return {};
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    if (auto* t = qobject_cast<const QTextEdit*>(w))
        return t->toPlainText();
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    const QVariant v = w->property("text");
    return v.isValid() ? v.toString() : w->windowTitle();
}
