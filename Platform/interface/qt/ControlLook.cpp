#include "ControlLook.h"

#include <View.h>

#include "FontPrivate.h"
#include "Painting.h"
#include "ViewData.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionButton>

namespace BPrivate {

namespace {

QStyleOptionButton
button_option(BView* view, BRect frame, const ButtonLook& look)
{
	QStyleOptionButton option;
	option.rect = fill_area(frame).toAlignedRect();
	option.text = QString::fromUtf8(look.label != NULL ? look.label : "");
	option.palette = QApplication::palette();
	BFont font;
	view->GetFont(&font);
	option.fontMetrics = QFontMetrics(BFontPrivate::ToQFont(font));
	option.state = QStyle::State_None;
	if (look.enabled)
		option.state |= QStyle::State_Enabled;
	else
		option.palette.setCurrentColorGroup(QPalette::Disabled);
	option.state |= look.pressed ? QStyle::State_Sunken : QStyle::State_Raised;
	option.state |= look.checked ? QStyle::State_On : QStyle::State_Off;
	if (look.focused)
		option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
	if (look.isDefault)
		option.features |= QStyleOptionButton::DefaultButton;
	return option;
}

void
draw_with_style(BView* view, QStyle::ControlElement element, const QStyleOptionButton& option)
{
	BFont font;
	view->GetFont(&font);
	QFont qtFont = BFontPrivate::ToQFont(font);
	paint_view(view, [&](QPainter& painter) {
		painter.setRenderHint(QPainter::Antialiasing, true);
		painter.setFont(qtFont);
		QApplication::style()->drawControl(element, &option, &painter, nullptr);
	});
}

} // namespace

void
draw_push_button(BView* view, BRect frame, const ButtonLook& look)
{
	draw_with_style(view, QStyle::CE_PushButton, button_option(view, frame, look));
}

void
draw_check_box(BView* view, BRect frame, const ButtonLook& look)
{
	draw_with_style(view, QStyle::CE_CheckBox, button_option(view, frame, look));
}

float
check_box_mark_width()
{
	QStyle* style = QApplication::style();
	return (float)(style->pixelMetric(QStyle::PM_IndicatorWidth)
		+ style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
}

void
draw_alert_icon(BView* view, BRect frame, int32 type)
{
	QRectF area = fill_area(frame);
	paint_view(view, [&](QPainter& painter) {
		painter.setRenderHint(QPainter::Antialiasing, true);
		painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
		QStyle::StandardPixmap icon;
		switch (type) {
			case 1:
				icon = QStyle::SP_MessageBoxInformation;
				break;
			case 3:
				icon = QStyle::SP_MessageBoxWarning;
				break;
			case 4:
				icon = QStyle::SP_MessageBoxCritical;
				break;
			case 2: {
				// The idea alert shows a light bulb, which Qt's styles do not have.
				QRectF glass(area.left() + 7, area.top() + 1, area.width() - 14, 20);
				painter.setPen(QPen(QColor(120, 100, 0), 1.5));
				painter.setBrush(QColor(255, 225, 60));
				painter.drawEllipse(glass);
				QRectF base(area.center().x() - 5, glass.bottom() - 1, 10, 9);
				painter.setPen(QPen(QColor(70, 70, 70), 1));
				painter.setBrush(QColor(170, 170, 170));
				painter.drawRoundedRect(base, 2, 2);
				painter.drawLine(
					QPointF(base.left(), base.top() + 3), QPointF(base.right(), base.top() + 3));
				painter.drawLine(
					QPointF(base.left(), base.top() + 6), QPointF(base.right(), base.top() + 6));
				return;
			}
			default:
				return;
		}
		QPixmap pixmap = QApplication::style()->standardIcon(icon).pixmap(area.size().toSize());
		painter.drawPixmap(area.topLeft(), pixmap);
	});
}

} // namespace BPrivate
