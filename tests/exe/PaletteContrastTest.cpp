// SPDX-FileCopyrightText: 2026 The Kestrel developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "AllWindows.h"
#include "ElasticPanel.h"
#include "ReportPreview.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QScrollArea>
#include <QStyleFactory>

#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace kestrel::test {
namespace {

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
double Luminance(QRgb colour)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The most frequent of the colours at the given pixels of an image.
QRgb CommonestColour(const QImage& image, const std::vector<QPoint>& pixels)
{
    std::map<QRgb, int> counts;
    for (const QPoint& pixel : pixels) {
        ++counts[image.pixel(pixel) | 0xff000000u];
    }
    QRgb commonest = counts.begin()->first;
    for (const auto& [colour, count] : counts) {
        if (count > counts[commonest]) {
            commonest = colour;
        }
    }
    return commonest;
}

// Sets a control's text and gives the old one back in `text`; false for a control that shows no
// text of its own (or only a picture).
bool SwapText(QWidget* control, QString& text)
{
    const QSignalBlocker quiet(control);
    QString old;
    if (auto* label = qobject_cast<QLabel*>(control); label != nullptr) {
        if (!label->pixmap().isNull()) {
            return false;
        }
        old = label->text();
        label->setText(text);
    } else if (auto* tool = qobject_cast<QToolButton*>(control);
               tool != nullptr && tool->toolButtonStyle() == Qt::ToolButtonIconOnly) {
        return false; // a picture only: its text is for screen readers
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        old = button->text();
        button->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        old = edit->text();
        edit->setText(text);
    } else if (auto* panel = qobject_cast<ElasticPanel*>(control)) {
        old = panel->caption();
        panel->setCaption(text);
    } else if (auto* box = qobject_cast<QComboBox*>(control); box != nullptr && !box->isEditable()) {
        old = box->currentText();
        box->setItemText(box->currentIndex(), text);
    } else {
        return false;
    }
    text = old;
    return true;
}

// The contrast between a control's text and what lies behind it, as the window shows them: the
// window is drawn with the text and without it (the layout stays as it is meanwhile), the pixels
// that differ are the text's, and their colours in the two pictures are the text's and the
// background's. Text is drawn without smoothing, so its pixels carry the text colour itself.
// No value for a control without text; 1 for a text that cannot be seen at all.
std::optional<double> TextContrast(QWidget* window, QWidget* control)
{
    QString text;
    if (!SwapText(control, text)) {
        return std::nullopt;
    }
    const bool shows = !text.isEmpty();
    SwapText(control, text); // the text back, as it was
    if (!shows) {
        return std::nullopt;
    }
    const QImage with = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QString none;
    SwapText(control, none);
    const QImage without = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    SwapText(control, none);

    const QRect part = QRect(control->mapTo(window, QPoint(0, 0)), control->size()).intersected(with.rect());
    std::vector<QPoint> textPixels;
    for (int y = part.top(); y <= part.bottom(); ++y) {
        for (int x = part.left(); x <= part.right(); ++x) {
            if (with.pixel(x, y) != without.pixel(x, y)) {
                textPixels.emplace_back(x, y);
            }
        }
    }
    if (textPixels.empty()) {
        return 1.0;
    }
    return Contrast(CommonestColour(with, textPixels), CommonestColour(without, textPixels));
}

QPalette DarkPalette()
{
    QPalette dark;
    // clang-format off
    const std::pair<QPalette::ColorRole, QColor> roles[] = {
        {QPalette::Window, QColor(0x35, 0x35, 0x35)}, {QPalette::WindowText, Qt::white},
        {QPalette::Base, QColor(0x2a, 0x2a, 0x2a)}, {QPalette::AlternateBase, QColor(0x42, 0x42, 0x42)},
        {QPalette::Text, Qt::white}, {QPalette::Button, QColor(0x35, 0x35, 0x35)},
        {QPalette::ButtonText, Qt::white}, {QPalette::BrightText, Qt::red},
        {QPalette::Light, QColor(0x50, 0x50, 0x50)}, {QPalette::Midlight, QColor(0x45, 0x45, 0x45)},
        {QPalette::Mid, QColor(0x60, 0x60, 0x60)}, {QPalette::Dark, QColor(0x23, 0x23, 0x23)},
        {QPalette::Shadow, QColor(0x14, 0x14, 0x14)}, {QPalette::Highlight, QColor(0x21, 0x60, 0xa8)},
        {QPalette::HighlightedText, Qt::black}, {QPalette::Link, QColor(0x6f, 0xb3, 0xff)},
        {QPalette::ToolTipBase, QColor(0x35, 0x35, 0x35)}, {QPalette::ToolTipText, Qt::white},
        {QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0)},
    };
    // clang-format on
    for (const auto& [role, colour] : roles) {
        dark.setColor(role, colour);
    }
    return dark;
}

// The application's palette and unsmoothed text for one test; the desktop's come back after.
class ScopedLook
{
public:
    explicit ScopedLook(const QPalette& palette) : m_palette(QApplication::palette()), m_font(QApplication::font())
    {
        QApplication::setPalette(palette);
        QFont sharp = m_font;
        sharp.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(sharp);
    }
    ~ScopedLook()
    {
        QApplication::setPalette(m_palette);
        QApplication::setFont(m_font);
    }
    ScopedLook(const ScopedLook&) = delete;
    ScopedLook& operator=(const ScopedLook&) = delete;

private:
    QPalette m_palette;
    QFont m_font;
};

struct LookCase
{
    const char* name;
    QPalette (*palette)();
};

class WindowInPalette : public WindowsFixture, public ::testing::WithParamInterface<LookCase>
{
protected:
    ScopedLook m_look{GetParam().palette()};
};

// Every window but the breakdown (whose styling is the user's) follows the palette, light or
// dark: each text stands out from its background by at least 4.5:1. The calendar's day cells
// keep their fixed colours, with a text colour fixed to match.
TEST_P(WindowInPalette, EveryTextStandsOutFromItsBackground)
{
    WriteFile(dir / "data" / "mileston.txt", "\" 36518\",\"Review\"\r\n");
    ForEachWindow([](const char* name, QWidget* window) {
        if (std::string_view(name) == kCountDownName) {
            return;
        }
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!control->isVisibleTo(window) || !control->isEnabled() || control->width() < 4 ||
                control->height() < 4) {
                continue;
            }
            // A control of a scrolling page is measured where it shows once scrolled to.
            for (QWidget* outer = control->parentWidget(); outer != nullptr; outer = outer->parentWidget()) {
                if (auto* area = qobject_cast<QScrollArea*>(outer)) {
                    area->ensureWidgetVisible(control, 0, 0);
                }
            }
            if (const std::optional<double> contrast = TextContrast(window, control)) {
                EXPECT_GE(*contrast, 4.5)
                    << name << ": " << control->metaObject()->className() << " " << control->objectName().toStdString();
            }
        }
    });
}

QPalette LightPalette()
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Palettes, WindowInPalette,
    ::testing::Values(
        LookCase{"light", &LightPalette},
        LookCase{"dark", &DarkPalette}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The report preview's message when there are no pages is on the white paper, whatever the
// palette: it stays readable there.
TEST(ReportPreviewInPalette, TheEmptyPagesMessageStandsOutFromThePaper)
{
    for (const LookCase& look : {LookCase{"light", &LightPalette}, LookCase{"dark", &DarkPalette}}) {
        SCOPED_TRACE(look.name);
        const ScopedLook scoped(look.palette());
        ReportPreview preview;
        preview.setEmptyText(QStringLiteral("No pages: the report begins after the target date."));
        preview.resize(preview.minimumSize());
        const QImage with = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
        preview.setEmptyText(QString());
        const QImage without = preview.grab().toImage().convertToFormat(QImage::Format_RGB32);
        std::vector<QPoint> textPixels;
        for (int y = 0; y < with.height(); ++y) {
            for (int x = 0; x < with.width(); ++x) {
                if (with.pixel(x, y) != without.pixel(x, y)) {
                    textPixels.emplace_back(x, y);
                }
            }
        }
        ASSERT_FALSE(textPixels.empty());
        EXPECT_GE(Contrast(CommonestColour(with, textPixels), CommonestColour(without, textPixels)), 4.5);
    }
}

} // namespace
} // namespace kestrel::test
