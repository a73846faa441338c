// BFont over Qt's font engine. Sizes are pixels, as BeOS points were pixels at 72 dpi.
// The BeOS system fonts (Swis721 BT and Courier10 BT) are not installed on Linux; DejaVu,
// which every Debian system has, takes their place (see docs/platform.md).
#include <Font.h>

#include "qt/FontPrivate.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

const char* const kSansFamily = "DejaVu Sans";
const char* const kSerifFamily = "DejaVu Serif";
const char* const kMonoFamily = "DejaVu Sans Mono";

// DejaVu Sans runs wider than Swis721 BT; 12 pixels reads like BeOS's 10-point system
// font on today's screens.
const float kSystemFontSize = 12.0f;

struct FamilyAlias {
	const char* name;
	const char* installed;
};

const FamilyAlias kFamilyAliases[] = {
	{ "Swis721 BT", kSansFamily },
	{ "Swiss911 XCm BT", kSansFamily },
	{ "Dutch801 Rm BT", kSerifFamily },
	{ "Courier10 BT", kMonoFamily },
	{ "Courier10 BT Bold", kMonoFamily },
	{ "DejaVu Sans", kSansFamily },
	{ "DejaVu Serif", kSerifFamily },
	{ "DejaVu Sans Mono", kMonoFamily },
};

void
copy_name(char* target, size_t size, const char* source)
{
	snprintf(target, size, "%s", source != NULL ? source : "");
}

const char*
style_for_face(uint16 face)
{
	bool bold = (face & B_BOLD_FACE) != 0;
	bool italic = (face & B_ITALIC_FACE) != 0;
	if (bold && italic)
		return "Bold Oblique";
	if (bold)
		return "Bold";
	if (italic)
		return "Oblique";
	return "Book";
}

uint16
face_for_style(const char* style)
{
	QString name = QString::fromUtf8(style);
	uint16 face = 0;
	if (name.contains(QLatin1String("Bold"), Qt::CaseInsensitive))
		face |= B_BOLD_FACE;
	if (name.contains(QLatin1String("Italic"), Qt::CaseInsensitive)
		|| name.contains(QLatin1String("Oblique"), Qt::CaseInsensitive))
		face |= B_ITALIC_FACE;
	return face != 0 ? face : (uint16)B_REGULAR_FACE;
}

bool
have_application()
{
	return QGuiApplication::instance() != nullptr;
}

// Truncation works on whole UTF-8 characters: the byte offsets where each one starts.
class CharacterText {
public:
	CharacterText(const char* text) :
		fText(text)
	{
		for (size_t i = 0; i < fText.size(); i++) {
			if ((fText[i] & 0xC0) != 0x80)
				fStarts.push_back(i);
		}
		fStarts.push_back(fText.size());
	}

	size_t Count() const { return fStarts.size() - 1; }

	std::string Head(size_t count) const { return fText.substr(0, fStarts[count]); }

	std::string Tail(size_t count) const { return fText.substr(fStarts[Count() - count]); }

	const std::string& Text() const { return fText; }

	// The character index of the last '/', or -1.
	ssize_t LastSlash() const
	{
		for (size_t i = Count(); i > 0; i--) {
			if (fText[fStarts[i - 1]] == '/')
				return (ssize_t)(i - 1);
		}
		return -1;
	}

private:
	std::string fText;
	std::vector<size_t> fStarts;
};

std::string
truncate_text(const QFontMetricsF& metrics, const char* source, uint32 mode, float width)
{
	auto fits = [&](const std::string& text) {
		return metrics.horizontalAdvance(QString::fromStdString(text)) <= width;
	};

	CharacterText text(source);
	if (fits(text.Text()))
		return text.Text();

	const std::string ellipsis = B_UTF8_ELLIPSIS;
	size_t count = text.Count();

	// The candidate that keeps `kept` characters of the text; at least one is left out.
	std::function<std::string(size_t)> candidate;
	size_t fewest = 0;
	switch (mode) {
		case B_TRUNCATE_BEGINNING:
			candidate = [&](size_t kept) { return ellipsis + text.Tail(kept); };
			break;
		case B_TRUNCATE_MIDDLE:
			candidate = [&](size_t kept) {
				return text.Head((kept + 1) / 2) + ellipsis + text.Tail(kept / 2);
			};
			break;
		case B_TRUNCATE_SMART: {
			// Paths keep their last component whole when it fits; the folder part
			// before it gives way at its end.
			ssize_t slash = text.LastSlash();
			size_t leaf = slash >= 0 ? count - (size_t)slash : 0;
			if (slash > 0 && fits(ellipsis + text.Tail(leaf))) {
				fewest = leaf;
				candidate = [&, leaf](size_t kept) {
					return text.Head(kept - leaf) + ellipsis + text.Tail(leaf);
				};
			} else {
				candidate = [&](size_t kept) {
					return text.Head((kept + 1) / 2) + ellipsis + text.Tail(kept / 2);
				};
			}
			break;
		}
		case B_TRUNCATE_END:
		default:
			candidate = [&](size_t kept) { return text.Head(kept) + ellipsis; };
			break;
	}

	if (!fits(candidate(fewest)))
		return std::string();

	// Widths grow with every character kept, so the longest fitting candidate is found
	// by bisection.
	size_t low = fewest;
	size_t high = count - 1;
	while (low < high) {
		size_t middle = (low + high + 1) / 2;
		if (fits(candidate(middle)))
			low = middle;
		else
			high = middle - 1;
	}
	return candidate(low);
}

} // namespace

static const BFont sPlainFont =
	BFontPrivate::Make(kSansFamily, "Book", kSystemFontSize, B_REGULAR_FACE);
static const BFont sBoldFont =
	BFontPrivate::Make(kSansFamily, "Bold", kSystemFontSize, B_BOLD_FACE);
static const BFont sFixedFont =
	BFontPrivate::Make(kMonoFamily, "Book", kSystemFontSize, B_REGULAR_FACE);

const BFont* be_plain_font = &sPlainFont;
const BFont* be_bold_font = &sBoldFont;
const BFont* be_fixed_font = &sFixedFont;

BFont
BFontPrivate::Make(const char* family, const char* style, float size, uint16 face)
{
	BFont font;
	copy_name(font.fFamily, sizeof(font.fFamily), family);
	copy_name(font.fStyle, sizeof(font.fStyle), style);
	font.fSize = size;
	font.fFace = face;
	return font;
}

QString
BFontPrivate::ResolveFamily(const char* family)
{
	if (family == NULL)
		return QString();
	for (const FamilyAlias& alias : kFamilyAliases) {
		if (strcasecmp(alias.name, family) == 0)
			return QString::fromUtf8(alias.installed);
	}
	if (!have_application())
		return QString();
	QString wanted = QString::fromUtf8(family);
	const QStringList families = QFontDatabase::families();
	for (const QString& installed : families) {
		if (installed.compare(wanted, Qt::CaseInsensitive) == 0)
			return installed;
	}
	return QString();
}

QFont
BFontPrivate::ToQFont(const BFont& font)
{
	QFont result(QString::fromUtf8(font.fFamily));
	result.setPixelSize(std::max(1, (int)std::lround(font.fSize)));
	result.setBold((font.fFace & B_BOLD_FACE) != 0);
	result.setItalic((font.fFace & B_ITALIC_FACE) != 0);
	result.setUnderline((font.fFace & B_UNDERSCORE_FACE) != 0);
	result.setStrikeOut((font.fFace & B_STRIKEOUT_FACE) != 0);
	if ((font.fFlags & B_DISABLE_ANTIALIASING) != 0)
		result.setStyleStrategy(QFont::NoAntialias);
	if (strcmp(font.fFamily, kMonoFamily) == 0)
		result.setFixedPitch(true);
	return result;
}

BFont::BFont() :
	fSize(kSystemFontSize),
	fShear(90.0f),
	fRotation(0.0f),
	fSpacing(B_CHAR_SPACING),
	fEncoding(B_UNICODE_UTF8),
	fFace(B_REGULAR_FACE),
	fFlags(0)
{
	copy_name(fFamily, sizeof(fFamily), kSansFamily);
	copy_name(fStyle, sizeof(fStyle), "Book");
}

BFont::BFont(const BFont& font)
{
	*this = font;
}

BFont::BFont(const BFont* font) :
	BFont()
{
	if (font != NULL)
		*this = *font;
}

BFont&
BFont::operator=(const BFont& font)
{
	if (this == &font)
		return *this;
	memcpy(fFamily, font.fFamily, sizeof(fFamily));
	memcpy(fStyle, font.fStyle, sizeof(fStyle));
	fSize = font.fSize;
	fShear = font.fShear;
	fRotation = font.fRotation;
	fSpacing = font.fSpacing;
	fEncoding = font.fEncoding;
	fFace = font.fFace;
	fFlags = font.fFlags;
	return *this;
}

bool
BFont::operator==(const BFont& font) const
{
	return strcmp(fFamily, font.fFamily) == 0 && strcmp(fStyle, font.fStyle) == 0
		&& fSize == font.fSize && fShear == font.fShear && fRotation == font.fRotation
		&& fSpacing == font.fSpacing && fEncoding == font.fEncoding && fFace == font.fFace
		&& fFlags == font.fFlags;
}

bool
BFont::operator!=(const BFont& font) const
{
	return !(*this == font);
}

status_t
BFont::SetFamilyAndStyle(const font_family family, const font_style style)
{
	if (family != NULL) {
		QString installed = BFontPrivate::ResolveFamily(family);
		if (installed.isEmpty())
			return B_NAME_NOT_FOUND;
		copy_name(fFamily, sizeof(fFamily), installed.toUtf8().constData());
	}
	if (style != NULL) {
		// BeOS named the upright style "Roman"; DejaVu calls it "Book".
		bool upright = strcasecmp(style, "Roman") == 0 || strcasecmp(style, "Regular") == 0;
		copy_name(fStyle, sizeof(fStyle), upright ? "Book" : style);
		fFace = face_for_style(fStyle);
	}
	return B_OK;
}

status_t
BFont::SetFamilyAndFace(const font_family family, uint16 face)
{
	status_t status = SetFamilyAndStyle(family, NULL);
	if (status != B_OK)
		return status;
	SetFace(face);
	return B_OK;
}

void
BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
	if (family != NULL)
		memcpy(*family, fFamily, sizeof(fFamily));
	if (style != NULL)
		memcpy(*style, fStyle, sizeof(fStyle));
}

void
BFont::SetSize(float size)
{
	fSize = size;
}

void
BFont::SetShear(float shear)
{
	fShear = std::clamp(shear, 45.0f, 135.0f);
}

void
BFont::SetRotation(float rotation)
{
	fRotation = rotation;
}

void
BFont::SetSpacing(uint8 spacing)
{
	fSpacing = spacing;
}

void
BFont::SetEncoding(uint8 encoding)
{
	fEncoding = encoding;
}

void
BFont::SetFace(uint16 face)
{
	fFace = face != 0 ? face : (uint16)B_REGULAR_FACE;
	copy_name(fStyle, sizeof(fStyle), style_for_face(fFace));
}

void
BFont::SetFlags(uint32 flags)
{
	fFlags = flags;
}

bool
BFont::IsFixed() const
{
	if (!have_application())
		return strcmp(fFamily, kMonoFamily) == 0;
	return QFontInfo(BFontPrivate::ToQFont(*this)).fixedPitch();
}

float
BFont::StringWidth(const char* string) const
{
	if (string == NULL)
		return 0.0f;
	return StringWidth(string, (int32)strlen(string));
}

float
BFont::StringWidth(const char* string, int32 length) const
{
	if (string == NULL || length <= 0 || !have_application())
		return 0.0f;
	size_t size = strnlen(string, (size_t)length);
	QFontMetricsF metrics(BFontPrivate::ToQFont(*this));
	return (float)metrics.horizontalAdvance(QString::fromUtf8(string, (qsizetype)size));
}

void
BFont::GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
	float widthArray[]) const
{
	for (int32 i = 0; i < numStrings; i++)
		widthArray[i] = StringWidth(stringArray[i], lengthArray[i]);
}

void
BFont::GetHeight(font_height* height) const
{
	if (height == NULL)
		return;
	if (!have_application()) {
		height->ascent = fSize * 0.8f;
		height->descent = fSize * 0.2f;
		height->leading = 0.0f;
		return;
	}
	QFontMetricsF metrics(BFontPrivate::ToQFont(*this));
	height->ascent = (float)metrics.ascent();
	height->descent = (float)metrics.descent();
	height->leading = (float)metrics.leading();
}

void
BFont::GetTruncatedStrings(const char* stringArray[], int32 numStrings, uint32 mode, float width,
	char* resultArray[]) const
{
	if (stringArray == NULL || resultArray == NULL)
		return;
	for (int32 i = 0; i < numStrings; i++) {
		if (stringArray[i] == NULL || resultArray[i] == NULL)
			continue;
		std::string text = stringArray[i];
		TruncateString(&text, mode, width);
		// A shortened text drops at least one byte and adds three, so it fits the
		// length + 3 bytes every result buffer must have.
		memcpy(resultArray[i], text.c_str(), text.size() + 1);
	}
}

void
BFont::TruncateString(std::string* inOut, uint32 mode, float width) const
{
	if (inOut == NULL || !have_application())
		return;
	QFontMetricsF metrics(BFontPrivate::ToQFont(*this));
	*inOut = truncate_text(metrics, inOut->c_str(), mode, width);
}

void
BFont::PrintToStream() const
{
	printf("BFont { %s (%s), size %.1f, shear %.1f, rotation %.1f, face 0x%x }\n", fFamily, fStyle,
		fSize, fShear, fRotation, fFace);
}
