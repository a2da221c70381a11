#include "platform/fake/FakeProfileStore.h"
#include "settings/IniFile.h"
#include "settings/OptiuniUnit.h"
#include "settings/PropsStorage.h"
#include "settings/SettingsAccess.h"
#include "tests/settings/TestComponents.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace parlino {
namespace {

// The options dialog's own controls, stored and read through the same keys as the dialog's storage component uses.
class RealControlsTest : public ::testing::Test
{
protected:
    TPropsStorage Storage()
    {
        return TPropsStorage(
            &form, {}, "Optiuni",
            [this](const QString& s, const QString& k, const QString& d) { return FetchText(file, s, k, d); },
            [this](const QString& s, const QString& k, const QString& v) { StoreText(file, s, k, v); });
    }

    const QStringList storedProps = {"EditTrimitere.Font",   "EditPrimire.Font", "CheckMin.Checked",
                                     "CheckRefresh.Checked", "CheckWav.Checked", "EditWav.Text",
                                     "CheckFlash.Checked",   "CheckTimp.Checked"};
    test::Services services;
    fake::FakeProfileStore store;
    TIniFile file{store, "Parlino.ini"};
    TOptiuniForm form{services.fakes.platform};
};

TEST_F(RealControlsTest, DesignedValuesGiveTheDocumentedKeys)
{
    Storage().WriteListedProps(&form, storedProps);
    const QString expected = QStringLiteral("[Optiuni]\n") + QLatin1String(test::kDesignedOptionKeys);
    EXPECT_EQ(store.Text("parlino.ini"), expected);
}

TEST_F(RealControlsTest, TheSizeDecidesTheHeight)
{
    const struct
    {
        const char* lines;
        int height, size;
    } cases[] = {
        {"EditTrimitere_FontHeight=-14", -15, 11},
        {"EditTrimitere_FontSize=abc\nEditTrimitere_FontHeight=-20", 0, 0},
        {"EditTrimitere_FontHeight=-40\nEditTrimitere_FontSize=12", -16, 12},
    };
    for (const auto& c : cases) {
        TOptiuniForm fresh(services.fakes.platform);
        store.SetText("parlino.ini", QString("[optiuni]\n") + c.lines + "\ncheckmin_checked=TRUE\n");
        Storage().ReadListedProps(&fresh, storedProps);
        EXPECT_EQ(fresh.EditTrimitere->property("Font").value<QObject*>()->property("Height").toInt(), c.height)
            << c.lines;
        EXPECT_EQ(fresh.EditTrimitere->property("Font").value<QObject*>()->property("Size").toInt(), c.size) << c.lines;
        EXPECT_TRUE(fresh.CheckMin->property("Checked").toBool());
    }
}

TEST_F(RealControlsTest, EachLabelShowsItsWholeTextInTheFaceShownAndCoversNoOtherControl)
{
    form.show();
    for (const QLabel* label : form.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        for (const QWidget* other : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(other == label || !other->geometry().intersects(label->geometry()));
    }
}

} // namespace
} // namespace parlino
