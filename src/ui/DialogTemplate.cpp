#include "DialogTemplate.h"

#include "AppMessage.h"
#include "DialogTemplates.h"
#include "StringTable.h"
#include "WrapButton.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextBrowser>

#include "TabControl.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace Ui {

namespace {

constexpr char SongTi[] = "宋体";
constexpr int BrokenTemplateString = 102;

void InstallFontSubstitutes()
{
    static const bool installed = [] {
        QFont::insertSubstitutions(
            QString::fromUtf8(SongTi),
            {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
             QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Zen Hei"),
             QStringLiteral("Droid Sans Fallback")});
        return true;
    }();
    Q_UNUSED(installed);
}

// Rounded a * b / c for the non-negative values of dialog geometry, as the
// Windows conversion rounds.
int MulDiv(int a, int b, int c)
{
    return (a * b + c / 2) / c;
}

using Templates::Kind;
using Templates::Style;

// Grows a label whose wrapped text needs more lines than its box downwards.
void GrowToText(QLabel* label)
{
    const QRect rect = label->geometry();
    const int needed = label->heightForWidth(rect.width());
    if (needed > rect.height())
        label->resize(rect.width(), needed);
}

// A static text of a template. Measuring a wrapped text loads the glyph of
// every character in it, so a text that no code can change (it has no id) is
// measured when it is first shown: the texts of a page that starts hidden
// cost nothing until the page is opened.
class StaticText : public QLabel
{
public:
    using QLabel::QLabel;
    void GrowOnFirstShow() { m_growOnShow = true; }

protected:
    void showEvent(QShowEvent* event) override
    {
        if (std::exchange(m_growOnShow, false))
            GrowToText(this);
        QLabel::showEvent(event);
    }

private:
    bool m_growOnShow = false;
};

QWidget* CreateEdit(unsigned style, QWidget* parent)
{
    const bool readOnly = style & Style::ReadOnly;
    const bool border = !(style & Style::NoBorder);
    if (style & Style::Multiline) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setReadOnly(readOnly);
        edit->setVerticalScrollBarPolicy((style & Style::VScroll) ? Qt::ScrollBarAlwaysOn
                                                                  : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        if (!border)
            edit->setFrameShape(QFrame::NoFrame);
        if (!(style & Style::WantReturn) && !readOnly)
            edit->setTabChangesFocus(true);
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(readOnly);
    edit->setFrame(border);
    if (style & Style::Right)
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return edit;
}

QWidget* CreateCombo(const Templates::Control& entry, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(entry.style & Style::DropDown);
    combo->setInsertPolicy(QComboBox::NoInsert);
    QStringList list;
    for (int i = 0; i < entry.itemCount; ++i)
        list << QString::fromUtf8(entry.items[i]);
    if (entry.style & Style::Sorted)
        list.sort(Qt::CaseInsensitive);
    combo->addItems(list);
    combo->setCurrentIndex(-1);
    combo->setMaxVisibleItems(20);
    return combo;
}

QWidget* CreateControl(const Templates::Control& entry, QWidget* parent)
{
    const QString text = QString::fromUtf8(entry.text);
    const unsigned style = entry.style;
    switch (entry.kind) {
    case Kind::Static: {
        auto* label = new StaticText(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        const Qt::Alignment horizontal =
            (style & Style::Center) ? Qt::AlignHCenter
                                    : ((style & Style::Right) ? Qt::AlignRight : Qt::AlignLeft);
        label->setAlignment(horizontal | Qt::AlignTop);
        return label;
    }
    case Kind::Group:
        return new QGroupBox(text, parent);
    case Kind::Edit:
        return CreateEdit(style, parent);
    case Kind::Button: {
        QPushButton* button = (style & Style::Multiline) ? new WrapButton(text, parent)
                                                         : new QPushButton(text, parent);
        button->setAutoDefault(false);
        if (style & Style::Default)
            button->setDefault(true);
        return button;
    }
    case Kind::Combo:
        return CreateCombo(entry, parent);
    case Kind::Tab:
        return new TabControl(parent);
    case Kind::Icon: {
        auto* label = new QLabel(parent);
        label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
        return label;
    }
    case Kind::Browser: {
        auto* browser = new QTextBrowser(parent);
        browser->setOpenLinks(false);
        return browser;
    }
    case Kind::List:
        return new QTableWidget(parent);
    }
    return nullptr;
}

// Adjusts a control's box to Qt's controls: a combo box takes its own height;
// a static text whose box is lower than a line of the substitute font (whose
// line spacing is taller than 宋体's) grows to one line, about its centre, and
// one that wraps to more lines grows to hold them, so no text is clipped.
void FitControl(QWidget* control, QRect rect, const Templates::Control& entry)
{
    // A combo box's template height includes its drop-down list.
    if (qobject_cast<QComboBox*>(control))
        rect.setHeight(control->sizeHint().height());
    auto* label = qobject_cast<QLabel*>(control);
    if (label) {
        const int line = control->fontMetrics().height();
        if (rect.height() < line) {
            const int grow = line - rect.height();
            rect.adjust(0, -grow / 2, 0, grow - grow / 2);
        }
    }
    control->setGeometry(rect);
    if (!label)
        return;
    // No character is wider than an em, so a text of few characters fits one
    // line without laying it out.
    const int em = QFontInfo(label->font()).pixelSize();
    if (em > 0 && label->text().size() * em <= rect.width())
        return;
    if (entry.kind == Kind::Static && entry.id == -1)
        static_cast<StaticText*>(label)->GrowOnFirstShow();
    else
        GrowToText(label);
}

} // namespace

BaseUnits DialogBaseUnits(const QFont& font)
{
    // Measuring loads glyphs: once per font is enough.
    static QHash<QString, BaseUnits> cache;
    const QString key = font.key();
    if (const auto found = cache.constFind(key); found != cache.cend())
        return *found;
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The character height of 宋体 is its em: CJK substitutes have a taller
    // line spacing, which would stretch every template, so the em is used.
    int height = QFontInfo(font).pixelSize();
    if (height <= 0)
        height = metrics.height();
    const BaseUnits units{(letters / 26 + 1) / 2, height};
    cache.insert(key, units);
    return units;
}

QRect MapDialogRect(const BaseUnits& units, const QRect& du)
{
    return QRect(MulDiv(du.x(), units.cx, 4), MulDiv(du.y(), units.cy, 8),
                 MulDiv(du.width(), units.cx, 4), MulDiv(du.height(), units.cy, 8));
}

QFont DialogFont(const QString& face, int points)
{
    InstallFontSubstitutes();
    QFont font(face);
    font.setPointSize(points);
    // Hinting CJK outlines costs much and gains little at dialog sizes.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

namespace {
// Builds the template into the dialog; the empty string, or what is wrong
// with the template.
QString Build(QDialog* dialog, int id)
{
    const auto* found = std::find_if(std::begin(Templates::Dialogs), std::end(Templates::Dialogs),
                                     [id](const Templates::Dialog& t) { return t.id == id; });
    if (found == std::end(Templates::Dialogs))
        return QStringLiteral("missing");
    const Templates::Dialog& dialogTemplate = *found;

    const QFont font = DialogFont(QString::fromUtf8(dialogTemplate.face), dialogTemplate.points);
    dialog->setFont(font);
    const BaseUnits units = DialogBaseUnits(font);

    if (dialogTemplate.child)
        dialog->setWindowFlags(Qt::Widget);
    else
        dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    dialog->setFixedSize(
        MapDialogRect(units, QRect(0, 0, dialogTemplate.width, dialogTemplate.height)).size());

    for (int i = 0; i < dialogTemplate.controlCount; ++i) {
        const Templates::Control& entry = dialogTemplate.controls[i];
        QWidget* control = CreateControl(entry, dialog);
        if (entry.id != -1)
            control->setObjectName(QString::number(entry.id));
        const QRect rect(entry.rect[0], entry.rect[1], entry.rect[2], entry.rect[3]);
        FitControl(control, MapDialogRect(units, rect), entry);
        if (entry.style & Style::Disabled)
            control->setEnabled(false);
        if (entry.style & Style::Hidden)
            control->hide();
    }
    return {};
}
} // namespace

bool ApplyTemplate(QDialog* dialog, int id)
{
    const QString problem = Build(dialog, id);
    if (problem.isEmpty())
        return true;
    AppMessage::Show(LoadString(BrokenTemplateString).arg(id).arg(problem));
    return false;
}

QWidget* FindControl(const QWidget* parent, int id)
{
    return parent->findChild<QWidget*>(QString::number(id));
}

} // namespace Ui
