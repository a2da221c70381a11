#pragma once

#include "platform/ScreenDensity.h"
#include "settings/Controls.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace parlino {

// The options dialog. Its controls are the one store of the options: other windows read them when
// they need an option, so a change applies at the next use.
class TOptiuniForm final : public QWidget
{
    Q_OBJECT

public:
    explicit TOptiuniForm(const ScreenDensity& screen, QWidget* parent = nullptr);

    QLabel* Label1;
    TEdit* EditTrimitere;
    QPushButton* ButAlegeFontT;
    TEdit* EditPrimire;
    QPushButton* ButAlegeFontP;
    TCheckBox* CheckMin;
    TCheckBox* CheckRefresh;
    TCheckBox* CheckWav;
    QLabel* Label2;
    TEdit* EditWav;
    QPushButton* ButBrowse;
    QPushButton* ButOk;
    QPushButton* ButCancel;
    TCheckBox* CheckFlash;
    TCheckBox* CheckTimp;

private:
    template <typename T> T* Place(T* control, const char* name, int left, int top, int width, int height);
    TEdit* FontSample(const ScreenDensity& screen, const char* name, const QString& text, int color, int top);
    QPushButton* Button(const char* name, const QString& caption, int left, int top);
    TCheckBox* CheckBox(const char* name, const QString& caption, bool checked, QRect geometry);
};

// Created hidden at start-up, right after the main window, and alive until the program ends. Only start-up
// uses the name: the windows that read options are handed the form.
extern TOptiuniForm* OptiuniForm;

} // namespace parlino
