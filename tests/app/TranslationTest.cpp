#include "app/Translations.h"
#include "tests/app/AppFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

namespace parlino::test {
namespace {

TEST(TranslationsTest, TheFirstLanguageThatIsTranslatedOrEnglishWins)
{
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"fr", "de-AT", "ro"}, "de_AT"}, {{"ro-RO"}, "ro_RO"}, {{"en-US", "de"}, ""}, {{"C"}, ""}};
    for (const auto& [languages, chosen] : cases)
        EXPECT_EQ(Translations(languages, Translations::Folder()).Language(), chosen)
            << languages.join(u':').toStdString();
}

// A control's text is shown whole: a check box is as wide as it asks, other texts fit inside the control, and the
// control inside its window.
bool Fits(QWidget* control)
{
    const QWidget* window = control->window();
    // The chat window's default button takes Enter without being seen.
    if (control->size().isEmpty())
        return true;
    if (!window->rect().contains(QRect(control->mapTo(window, QPoint()), control->size())))
        return false;
    // A label or a check box asks for the room of its whole text.
    if (qobject_cast<QCheckBox*>(control) || qobject_cast<QLabel*>(control))
        return control->sizeHint().width() <= control->width();
    QString text;
    int icon = 0;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        text = button->text().remove(u'&');
        if (!button->icon().isNull() && !qobject_cast<QToolButton*>(control))
            icon = button->iconSize().width() + 4;
    }
    return text.isEmpty() ||
           control->fontMetrics().horizontalAdvance(text) + icon <= control->contentsRect().width() - 4;
}

QString Shown(const char* windowName, const char* controlName)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() != QLatin1String(windowName))
            continue;
        if (!*controlName)
            return window->windowTitle();
        if (auto* tree = window->findChild<QTreeWidget*>(QLatin1String(controlName)))
            return tree->topLevelItem(0)->text(0);
        if (auto* action = window->findChild<QAction*>(QLatin1String(controlName)))
            return action->text();
        if (auto* button = window->findChild<QAbstractButton*>(QLatin1String(controlName)))
            return button->text();
    }
    return {};
}

class TranslatedWindowsTest : public AppFixture, public testing::WithParamInterface<int>
{
};

TEST_P(TranslatedWindowsTest, ShowTheLanguageWholeAndEnglishAsWritten)
{
    const char* languages[] = {"en", "de", "ro"};
    const Translations translations({QLatin1String(languages[GetParam()])}, Translations::Folder());
    CreateForms();
    MainForm->NewChat(QStringLiteral("PC3"));
    for (QWidget* window : std::initializer_list<QWidget*>{MainForm, OptiuniForm, AboutForm})
        window->show();

    const std::vector<std::array<const char*, 5>> rows = {
        {"MainForm", "ButRefresh", "&Refresh Net", "&Neu laden", "&Reîncarcă"},
        {"MainForm", "TreeStatii", "Network", "Netzwerk", "Rețea"},
        {"MainForm", "Exit1", "E&xit", "&Beenden", "I&eșire"},
        {"ChatForm", "", "Chat with PC3", "Chat mit PC3", "Discuție cu PC3"},
        {"ChatForm", "CheckFlash", " Flash", " Blinken", " Clipire"},
        {"OptiuniForm", "CheckRefresh", "Auto-refresh", "Auto-Neuladen", "Reîncarcă automat"},
        {"OptiuniForm", "ButCancel", "Cancel", "Abbrechen", "Anulează"},
        {"AboutForm", "", "About", "Über Parlino", "Despre"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Shown(row[0], row[1]), QString::fromUtf8(row[2 + GetParam()])) << row[0] << ' ' << row[1];
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (window->isVisible() && control->isVisibleTo(window)) {
                EXPECT_TRUE(Fits(control))
                    << control->objectName().toStdString() << " in " << window->objectName().toStdString();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EnglishGermanRomanian, TranslatedWindowsTest, testing::Values(0, 1, 2));

} // namespace
} // namespace parlino::test
