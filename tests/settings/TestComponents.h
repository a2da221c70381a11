#pragma once

#include "platform/fake/FakeMailslotService.h"
#include "platform/fake/qt/FakeServices.h"
#include "settings/Collection.h"
#include "settings/TFont.h"

#include <QLineEdit>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QVariant>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

namespace parlino::test {

// Every service as a fake, for the forms that take them all.
struct Services
{
    fake::FakeMailslotService mailslots;
    fake::FakeServices fakes{mailslots};
};

// A font with the stored properties of the program's fonts, and their types; Size and Height follow each other at 96
// pixels per inch.
class TestFont final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Charset MEMBER charset)
    Q_PROPERTY(int Color MEMBER color)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name MEMBER name)
    Q_PROPERTY(parlino::TFont::TFontPitch Pitch MEMBER pitch)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(parlino::TFont::TFontStyles Style READ Style WRITE SetStyle)

public:
    using TFontPitch = TFont::TFontPitch;
    using TFontStyles = TFont::TFontStyles;

    int Height() const { return height; }
    void SetHeight(int value)
    {
        height = value;
        size = static_cast<int>(std::lround(-value * 72.0 / 96));
    }
    TFontStyles Style() const { return style; }
    void SetStyle(TFontStyles value) { style = value; }
    int Size() const { return size; }
    void SetSize(int value)
    {
        size = value;
        height = -static_cast<int>(std::lround(value * 96 / 72.0));
    }

    int charset = 1;
    int color = 0xFF0000;
    int height = -13;
    QString name = "MS Sans Serif";
    TFontPitch pitch = TFont::fpDefault;
    int size = 10;
    TFontStyles style;
};

// An edit box of Qt, whose own "font" and "text" must not be taken for the stored "Font" and "Text".
class TestEdit final : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(TestFont* Font READ Font)
    Q_PROPERTY(QString Text MEMBER textValue)

public:
    explicit TestEdit(const QString& name, QWidget* parent) : QLineEdit(parent) { setObjectName(name); }
    TestFont* Font() { return &font; }

    TestFont font;
    QString textValue;
};

class TestCheck final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Checked MEMBER checked)

public:
    TestCheck(const QString& name, bool initial, QObject* parent) : QObject(parent), checked(initial)
    {
        setObjectName(name);
    }
    bool checked;
};

class TestItem final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Value MEMBER value)
    Q_PROPERTY(QString Label MEMBER label)

public:
    int value = 0;
    QString label;
};

class TestItems final : public TCollection
{
    Q_OBJECT

public:
    int Count() const override { return static_cast<int>(items.size()); }
    QObject* Item(int index) const override { return items[static_cast<std::size_t>(index)].get(); }
    void Clear() override { items.clear(); }
    QObject* Add() override { return items.emplace_back(std::make_unique<TestItem>()).get(); }

    std::vector<std::unique_ptr<TestItem>> items;
};

// One property of every other kind.
class TestKinds final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(char Letter MEMBER letter)
    Q_PROPERTY(QChar Wide MEMBER wide)
    Q_PROPERTY(double Ratio MEMBER ratio)
    Q_PROPERTY(float Scale MEMBER scale)
    Q_PROPERTY(qint64 Big MEMBER big)
    Q_PROPERTY(uint Unsigned MEMBER unsignedValue)
    Q_PROPERTY(short Small MEMBER small)
    Q_PROPERTY(QVariant Any MEMBER any)
    Q_PROPERTY(QStringList Lines MEMBER lines)
    Q_PROPERTY(TestItems* Items READ Items)
    Q_PROPERTY(TestCheck* Buddy MEMBER buddy)
    Q_PROPERTY(QPoint Point MEMBER point)

public:
    TestItems* Items() { return &items; }

    char letter = 'a';
    QChar wide = QChar(0x0100);
    double ratio = 0.1;
    float scale = 1.5f;
    qint64 big = 0;
    uint unsignedValue = 0;
    short small = 0;
    QVariant any;
    QStringList lines;
    TestItems items;
    TestCheck* buddy = nullptr;
    QPoint point;
};

// Refuses every value for A, so that the reading of B after it shows that the error was contained.
class TestThrowing final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int A READ A WRITE SetA)
    Q_PROPERTY(int B MEMBER b)

public:
    int A() const { return 1; }
    void SetA(int) { throw std::runtime_error("refused"); }
    int b = 0;
};

// The options dialog's controls at their designed values, as they are stored.
inline const char* const kDesignedOptionKeys =
    "EditTrimitere_FontCharset=1\nEditTrimitere_FontColor=16711680\n"
    "EditTrimitere_FontHeight=-13\nEditTrimitere_FontName=MS Sans Serif\n"
    "EditTrimitere_FontPitch=fpDefault\nEditTrimitere_FontSize=10\n"
    "EditTrimitere_FontStyle=[]\n"
    "EditPrimire_FontCharset=1\nEditPrimire_FontColor=255\n"
    "EditPrimire_FontHeight=-13\nEditPrimire_FontName=MS Sans Serif\n"
    "EditPrimire_FontPitch=fpDefault\nEditPrimire_FontSize=10\n"
    "EditPrimire_FontStyle=[]\n"
    "CheckMin_Checked=False\nCheckRefresh_Checked=True\nCheckWav_Checked=False\n"
    "EditWav_Text=\nCheckFlash_Checked=True\nCheckTimp_Checked=False\n";

} // namespace parlino::test
