#pragma once

#include <QCoreApplication>
#include <QString>

#include <exception>
#include <functional>

class QWidget;

namespace parlino {

// Modal message boxes; each call returns when the user has dismissed the box.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // An error box with an OK button; owner may be null: the box then belongs to no window.
    virtual void ShowError(QWidget* owner, const QString& text, const QString& caption) = 0;

    // The application's one report of an error that ends a handler: its message in an error box captioned with the
    // program's name.
    void ReportError(QWidget* owner, const std::exception& error)
    {
        ShowError(owner, QString::fromUtf8(error.what()), QCoreApplication::applicationName());
    }

    // Runs a handler the way the framework would: an error that escapes it is reported, and the program goes on.
    void Guarded(QWidget* owner, const std::function<void()>& handler)
    {
        try {
            handler();
        } catch (const std::exception& error) {
            ReportError(owner, error);
        }
    }
};

} // namespace parlino
