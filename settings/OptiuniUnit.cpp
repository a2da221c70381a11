#include "settings/OptiuniUnit.h"

#include "forms/AccessibleRole.h"
#include "forms/FormParts.h"
#include "platform/qt/ResourceIcon.h"
#include "settings/FontFormat.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>

#include <cstdlib>

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

// A button keeps its designed width unless its caption needs more; it then grows to the right, where each of these
// buttons has room.
void WidenToCaption(QPushButton* button)
{
    // What the bevel and the face's side bearings take on either side of the caption.
    constexpr int kMargins = 4;
    constexpr int kIconSpacing = 4;
    int needed = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(u'&')) + kMargins;
    if (!button->icon().isNull())
        needed += button->iconSize().width() + kIconSpacing;
    if (needed > button->width())
        button->resize(needed, button->height());
}

} // namespace

TOptiuniForm::TOptiuniForm(const Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), screen_(platform.screen),
      fontChooser_(platform.fontChooser), fileChooser_(platform.fileChooser)
{
    setObjectName(QStringLiteral("OptiuniForm"));
    SetAccessibleRole(this, QAccessible::Dialog);
    setWindowTitle(tr("Options"));
    setFont(FormFont(true));
    setFixedSize(398, 331);
    move(308, 102);

    Label1 = Place(new QLabel(tr("Choose the fonts used for chat :"), this), "Label1", 57, 29, 184, 13);
    EditTrimitere = FontSample("EditTrimitere", tr("Send"), kBlue, 56);
    ButAlegeFontT = Button("ButAlegeFontT", tr("Choose Font"), 257, 56);
    ButAlegeFontT->setFont(FormFont(false));
    EditPrimire = FontSample("EditPrimire", tr("Receive"), kRed, 94);
    ButAlegeFontP = Button("ButAlegeFontP", tr("Choose Font"), 257, 95);
    ButAlegeFontP->setFont(FormFont(false));
    // Two buttons read "Choose Font": each is told apart by the sample it changes.
    DescribeFontChoice(EditTrimitere, ButAlegeFontT, tr("Font of sent lines"));
    DescribeFontChoice(EditPrimire, ButAlegeFontP, tr("Font of received lines"));
    CheckMin = CheckBox("CheckMin", tr("Start minimized"), false, {23, 136, 169, 17});
    CheckRefresh = CheckBox("CheckRefresh", tr("Auto-refresh"), true, {215, 136, 161, 17});
    CheckWav = CheckBox("CheckWav", tr("Play a WAV when a message arrives"), false, {23, 188, 289, 17});
    Label2 = Place(new QLabel(tr("Choose the WAV file :"), this), "Label2", 24, 212, 126, 13);
    EditWav = Place(new TEdit(screen_, this), "EditWav", 48, 233, 217, 21);
    EditWav->Font()->SetStyle(TFont::fsBold);
    EditWav->Font()->SetHeight(-11);
    EditWav->setEnabled(CheckWav->Checked());
    connect(CheckWav, &QCheckBox::toggled, this, &TOptiuniForm::FormActivate);
    Label2->setBuddy(EditWav);
    ButBrowse = Button("ButBrowse", tr("&Browse"), 288, 231);
    ButBrowse->setFont(FormFont(false));
    ButOk = Button("ButOk", tr("OK"), 85, 298);
    ButOk->setDefault(true);
    ButOk->setIcon(ButtonGlyph("ok"));
    ButCancel = Button("ButCancel", tr("Cancel"), 237, 298);
    ButCancel->setIcon(ButtonGlyph("cancel"));
    CheckFlash = CheckBox("CheckFlash", tr("Flash window when a message arrives"), true, {23, 160, 290, 17});
    CheckTimp = CheckBox("CheckTimp", tr("Display the time when messages arrives"), false, {25, 263, 289, 17});

    // As the controls stand, top to bottom and left to right.
    const QList<QWidget*> tabOrder = {ButAlegeFontT, ButAlegeFontP, CheckMin,  CheckRefresh, CheckFlash, CheckWav,
                                      EditWav,       ButBrowse,     CheckTimp, ButOk,        ButCancel};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    ButAlegeFontT->setFocus();

    connect(ButAlegeFontT, &QPushButton::clicked, this, &TOptiuniForm::ButAlegeFontTClick);
    connect(ButAlegeFontP, &QPushButton::clicked, this, &TOptiuniForm::ButAlegeFontPClick);
    connect(ButBrowse, &QPushButton::clicked, this, &TOptiuniForm::ButBrowseClick);
    connect(ButOk, &QPushButton::clicked, this, &TOptiuniForm::ButOkClick);
    connect(ButCancel, &QPushButton::clicked, this, &TOptiuniForm::ButCancelClick);
    OnActivation(this, [this] { FormActivate(); });
    CreateFormStorage(platform);
}

TOptiuniForm::~TOptiuniForm()
{
    delete FormStorage1;
}

void TOptiuniForm::CreateFormStorage(const Platform& platform)
{
    FormStorage1 = new TFormStorage(this, platform.profiles, platform.screen, platform.messageBoxes);
    FormStorage1->setObjectName(QStringLiteral("FormStorage1"));
    FormStorage1->BeginLoading();
    FormStorage1->SetIniFileName(QStringLiteral("Parlino.ini"));
    FormStorage1->SetIniSection(QStringLiteral("Optiuni"));
    FormStorage1->SetOptions({});
    FormStorage1->SetStoredProps({QStringLiteral("EditTrimitere.Font"), QStringLiteral("EditPrimire.Font"),
                                  QStringLiteral("CheckMin.Checked"), QStringLiteral("CheckRefresh.Checked"),
                                  QStringLiteral("CheckWav.Checked"), QStringLiteral("EditWav.Text"),
                                  QStringLiteral("CheckFlash.Checked"), QStringLiteral("CheckTimp.Checked")});
    TStoredValue* trimitere1 = FormStorage1->StoredValues()->Add();
    trimitere1->SetName(QStringLiteral("Trimitere1"));
    trimitere1->SetValue(0);
    FormStorage1->EndLoading();
}

void TOptiuniForm::FormShow()
{
    FormStorage1->ReadStoredProps();
}

void TOptiuniForm::FormActivate()
{
    EditWav->setEnabled(CheckWav->Checked());
}

void TOptiuniForm::ButAlegeFontTClick()
{
    ChooseFont(EditTrimitere);
}

void TOptiuniForm::ButAlegeFontPClick()
{
    ChooseFont(EditPrimire);
}

void TOptiuniForm::ChooseFont(TEdit* sample)
{
    const TFont& current = *sample->Font();
    QFont font = QFontOfFont(current);
    // The chooser lists sizes in points.
    if (const int points = std::abs(current.Size()))
        font.setPointSize(points);
    QColor color = ColorOfTColor(current.Color());
    if (!fontChooser_.ChooseFont(this, font, color))
        return;
    TFont chosen(screen_);
    chosen.Assign(current);
    chosen.SetName(font.family());
    if (font.pointSize() > 0)
        chosen.SetSize(font.pointSize());
    else
        chosen.SetHeight(-font.pixelSize());
    TFont::TFontStyles style;
    style.setFlag(TFont::fsBold, font.bold());
    style.setFlag(TFont::fsItalic, font.italic());
    style.setFlag(TFont::fsUnderline, font.underline());
    style.setFlag(TFont::fsStrikeOut, font.strikeOut());
    chosen.SetStyle(style);
    chosen.SetColor(TColorOfColor(color));
    sample->SetFont(&chosen);
}

void TOptiuniForm::ButBrowseClick()
{
    if (const std::optional<QString> path = fileChooser_.ChooseOpenFile(this, tr(kWavFilter)))
        EditWav->SetText(*path);
}

void TOptiuniForm::ButOkClick()
{
    FormStorage1->SetActive(true);
    if (SwitchRefreshTimer)
        SwitchRefreshTimer(CheckRefresh->Checked());
    if (EditWav->Text().isEmpty())
        CheckWav->SetChecked(false);
    // Closing writes the section (FormStorage1's close hook).
    close();
}

void TOptiuniForm::ButCancelClick()
{
    FormStorage1->SetActive(false);
    close();
}

void TOptiuniForm::showEvent(QShowEvent* event)
{
    // The designed widths fit the design's face, which is not the one shown here, and English, which may not be.
    Label1->adjustSize();
    Label2->adjustSize();
    for (QPushButton* button : {ButAlegeFontT, ButAlegeFontP, ButBrowse, ButOk, ButCancel})
        WidenToCaption(button);
    if (!event->spontaneous())
        FormShow();
    QWidget::showEvent(event);
}

void TOptiuniForm::closeEvent(QCloseEvent* event)
{
    if (event->spontaneous())
        FormStorage1->SetActive(false);
    QWidget::closeEvent(event);
}

void TOptiuniForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // As in a dialog: a focused button takes Enter for itself.
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget()))
            focused->click();
        else
            ButOk->click();
        return;
    case Qt::Key_Escape:
        ButCancel->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

template <typename T> T* TOptiuniForm::Place(T* control, const char* name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(left, top, width, height);
    return control;
}

TEdit* TOptiuniForm::FontSample(const char* name, const QString& text, int color, int top)
{
    TEdit* sample = Place(new TEdit(screen_, this), name, 57, top, 161, 24);
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

void TOptiuniForm::DescribeFontChoice(TEdit* sample, QPushButton* button, const QString& what)
{
    sample->setAccessibleName(what);
    button->setAccessibleDescription(what);
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
