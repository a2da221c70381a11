#include "settings/OptiuniUnit.h"

#include "platform/qt/ResourceIcon.h"
#include "settings/FormParts.h"

PARLINO_RESOURCES(settings)

namespace parlino {

TOptiuniForm* OptiuniForm = nullptr;

namespace {

constexpr int kBlue = 0xFF0000;
constexpr int kRed = 0x0000FF;

// Set either way, so that a regular control does not take the bold of its form.
QFont FormFont(bool bold)
{
    QFont font = DesignFont(11);
    font.setBold(bold);
    return font;
}

QIcon ButtonGlyph(const char* name)
{
    Init_settings_Resources();
    return ResourceIcon(QLatin1StringView("settings"), name, {16, 32});
}

} // namespace

TOptiuniForm::TOptiuniForm(const ScreenDensity& screen, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("OptiuniForm"));
    setWindowTitle(QStringLiteral("Options"));
    setFont(FormFont(true));
    setFixedSize(398, 331);
    move(308, 102);

    Label1 = Place(new QLabel(QStringLiteral("Choose the fonts used for chat :"), this), "Label1", 57, 29, 184, 13);
    EditTrimitere = FontSample(screen, "EditTrimitere", QStringLiteral("Send"), kBlue, 56);
    ButAlegeFontT = Button("ButAlegeFontT", QStringLiteral("Choose Font"), 257, 56);
    ButAlegeFontT->setFont(FormFont(false));
    EditPrimire = FontSample(screen, "EditPrimire", QStringLiteral("Receive"), kRed, 94);
    ButAlegeFontP = Button("ButAlegeFontP", QStringLiteral("Choose Font"), 257, 95);
    ButAlegeFontP->setFont(FormFont(false));
    CheckMin = CheckBox("CheckMin", QStringLiteral("Start minimized"), false, {23, 136, 169, 17});
    CheckRefresh = CheckBox("CheckRefresh", QStringLiteral("Auto-refresh"), true, {215, 136, 161, 17});
    CheckWav = CheckBox("CheckWav", QStringLiteral("Play a WAV when a message arrives"), false, {23, 188, 289, 17});
    Label2 = Place(new QLabel(QStringLiteral("Choose the WAV file :"), this), "Label2", 24, 212, 126, 13);
    EditWav = Place(new TEdit(screen, this), "EditWav", 48, 233, 217, 21);
    EditWav->Font()->SetStyle(TFont::fsBold);
    EditWav->Font()->SetHeight(-11);
    EditWav->setEnabled(CheckWav->Checked());
    ButBrowse = Button("ButBrowse", QStringLiteral("&Browse"), 288, 231);
    ButBrowse->setFont(FormFont(false));
    ButOk = Button("ButOk", QStringLiteral("OK"), 85, 298);
    ButOk->setDefault(true);
    ButOk->setIcon(ButtonGlyph("ok"));
    ButCancel = Button("ButCancel", QStringLiteral("Cancel"), 237, 298);
    ButCancel->setIcon(ButtonGlyph("cancel"));
    CheckFlash =
        CheckBox("CheckFlash", QStringLiteral("Flash window when a message arrives"), true, {23, 160, 290, 17});
    CheckTimp =
        CheckBox("CheckTimp", QStringLiteral("Display the time when messages arrives"), false, {25, 263, 289, 17});

    const QList<QWidget*> tabOrder = {ButAlegeFontT, ButAlegeFontP, CheckMin,  CheckRefresh, CheckWav, EditWav,
                                      ButBrowse,     ButOk,         ButCancel, CheckFlash,   CheckTimp};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    ButAlegeFontT->setFocus();
}

template <typename T> T* TOptiuniForm::Place(T* control, const char* name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    return control;
}

TEdit* TOptiuniForm::FontSample(const ScreenDensity& screen, const char* name, const QString& text, int color, int top)
{
    TEdit* sample = Place(new TEdit(screen, this), name, 57, top, 161, 24);
    sample->SetText(text);
    sample->setReadOnly(true);
    sample->setFocusPolicy(Qt::NoFocus);
    QPalette colors = sample->palette();
    colors.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    sample->setPalette(colors);
    TFont* font = sample->Font();
    font->SetName(QString::fromLatin1(kDesignFontName));
    font->SetHeight(-13);
    font->SetColor(color);
    font->SetStyle({});
    font->SetCharset(TFont::kDefaultCharset);
    return sample;
}

QPushButton* TOptiuniForm::Button(const char* name, const QString& caption, int left, int top)
{
    QPushButton* button = Place(new QPushButton(caption, this), name, left, top, 75, 25);
    button->setAutoDefault(false);
    return button;
}

TCheckBox* TOptiuniForm::CheckBox(const char* name, const QString& caption, bool checked, QRect geometry)
{
    TCheckBox* box =
        Place(new TCheckBox(caption, this), name, geometry.left(), geometry.top(), geometry.width(), geometry.height());
    box->SetChecked(checked);
    return box;
}

} // namespace parlino
