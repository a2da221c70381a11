#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace parlino {

// The about box: the program's picture, name and version, and an OK button. No behaviour of its own.
class TAboutForm final : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QLabel* Image1;
    QLabel* Label1;
    QPushButton* BitBtn1;

protected:
    void showEvent(QShowEvent* event) override;
};

// Created at start-up after the options dialog, alive until the program ends.
extern TAboutForm* AboutForm;

} // namespace parlino
