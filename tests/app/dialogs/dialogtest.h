// What the dialog tests share: a dialog's push button found by its text.
#pragma once

#include <QPushButton>

// The push button of `dialog` labelled `text`, or null.
inline QPushButton *findButton(const QWidget *dialog, const QString &text)
{
    for (QPushButton *b : dialog->findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}
