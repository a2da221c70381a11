#pragma once

#include "forms/FormParts.h"
#include "platform/Screens.h"

#include <QObject>
#include <QString>

namespace parlino {

// A font as the options keep it. Height is in pixels (negative: the character height without leading);
// Size is in points and is derived from Height through the screen's pixels per inch, so the two never
// disagree. Color is a Windows colour value: red in the lowest byte, negative for a system colour.
class TFont final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset NOTIFY Changed)
    Q_PROPERTY(int Color READ Color WRITE SetColor NOTIFY Changed)
    Q_PROPERTY(int Height READ Height WRITE SetHeight NOTIFY Changed)
    Q_PROPERTY(QString Name READ Name WRITE SetName NOTIFY Changed)
    Q_PROPERTY(TFontPitch Pitch READ Pitch WRITE SetPitch NOTIFY Changed)
    Q_PROPERTY(int Size READ Size WRITE SetSize NOTIFY Changed)
    Q_PROPERTY(TFontStyles Style READ Style WRITE SetStyle NOTIFY Changed)

public:
    enum TFontPitch { fpDefault, fpVariable, fpFixed };
    Q_ENUM(TFontPitch)

    enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)

    static constexpr int kDefaultCharset = 1;

    explicit TFont(const Screens& screen, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(TFont)

    // Takes every attribute of the other font.
    void Assign(const TFont& other);

    int Charset() const { return charset_; }
    void SetCharset(int charset);
    int Color() const { return color_; }
    void SetColor(int color);
    int Height() const { return height_; }
    void SetHeight(int height);
    QString Name() const { return name_; }
    void SetName(const QString& name);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    int Size() const;
    void SetSize(int size);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);

Q_SIGNALS:
    void Changed();

private:
    template <typename T> void Update(T& field, const T& value);

    const Screens& screen_;
    int charset_ = kDefaultCharset;
    int color_ = 0;
    int height_ = 0;
    QString name_ = QString::fromLatin1(kDesignFontName);
    TFontPitch pitch_ = fpDefault;
    TFontStyles style_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)

// a * b / c rounded to the nearest whole number, halves away from zero, as Windows' MulDiv; -1 when c is 0
// or the result does not fit an int (so a height read from a damaged file cannot overflow).
int MulDiv(int a, int b, int c);

} // namespace parlino
