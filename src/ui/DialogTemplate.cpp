#include "DialogTemplate.h"

#include "AppMessage.h"
#include "StringTable.h"
#include "WrapButton.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextBrowser>

#include "TabControl.h"

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

QRect RectOf(const QJsonValue& value)
{
    const QJsonArray a = value.toArray();
    return QRect(a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt(), a.at(3).toInt());
}

QWidget* CreateEdit(const QStringList& style, QWidget* parent)
{
    const bool readOnly = style.contains(QLatin1String("readonly"));
    const bool border = !style.contains(QLatin1String("noborder"));
    if (style.contains(QLatin1String("multiline"))) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setReadOnly(readOnly);
        edit->setVerticalScrollBarPolicy(style.contains(QLatin1String("vscroll"))
                                             ? Qt::ScrollBarAlwaysOn
                                             : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        if (!border)
            edit->setFrameShape(QFrame::NoFrame);
        if (!style.contains(QLatin1String("wantreturn")) && !readOnly)
            edit->setTabChangesFocus(true);
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(readOnly);
    edit->setFrame(border);
    if (style.contains(QLatin1String("right")))
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return edit;
}

QWidget* CreateCombo(const QStringList& style, const QJsonArray& items, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(style.contains(QLatin1String("dropdown")));
    combo->setInsertPolicy(QComboBox::NoInsert);
    QStringList list;
    for (const QJsonValue& item : items)
        list << item.toString();
    if (style.contains(QLatin1String("sorted")))
        list.sort(Qt::CaseInsensitive);
    combo->addItems(list);
    combo->setCurrentIndex(-1);
    combo->setMaxVisibleItems(20);
    return combo;
}

QWidget* CreateControl(const QJsonObject& entry, QWidget* parent)
{
    const QString kind = entry.value(QLatin1String("kind")).toString();
    const QString text = entry.value(QLatin1String("text")).toString();
    QStringList style;
    for (const QJsonValue& flag : entry.value(QLatin1String("style")).toArray())
        style << flag.toString();

    if (kind == QLatin1String("static")) {
        auto* label = new QLabel(text, parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        const Qt::Alignment horizontal =
            style.contains(QLatin1String("center"))
                ? Qt::AlignHCenter
                : (style.contains(QLatin1String("right")) ? Qt::AlignRight : Qt::AlignLeft);
        label->setAlignment(horizontal | Qt::AlignTop);
        return label;
    }
    if (kind == QLatin1String("group"))
        return new QGroupBox(text, parent);
    if (kind == QLatin1String("edit"))
        return CreateEdit(style, parent);
    if (kind == QLatin1String("button")) {
        QPushButton* button = style.contains(QLatin1String("multiline"))
                                  ? new WrapButton(text, parent)
                                  : new QPushButton(text, parent);
        button->setAutoDefault(false);
        if (style.contains(QLatin1String("default")))
            button->setDefault(true);
        return button;
    }
    if (kind == QLatin1String("combo"))
        return CreateCombo(style, entry.value(QLatin1String("items")).toArray(), parent);
    if (kind == QLatin1String("tab"))
        return new TabControl(parent);
    if (kind == QLatin1String("icon")) {
        auto* label = new QLabel(parent);
        label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
        return label;
    }
    if (kind == QLatin1String("browser")) {
        auto* browser = new QTextBrowser(parent);
        browser->setOpenLinks(false);
        return browser;
    }
    if (kind == QLatin1String("list"))
        return new QTableWidget(parent);
    return nullptr;
}

// Adjusts a control's box to Qt's controls: a combo box takes its own height;
// a static text whose box is lower than a line of the substitute font (whose
// line spacing is taller than 宋体's) grows to one line, about its centre, and
// one that wraps to more lines grows to hold them, so no text is clipped.
QRect FitControl(QWidget* control, QRect rect)
{
    // A combo box's template height includes its drop-down list.
    if (qobject_cast<QComboBox*>(control)) {
        rect.setHeight(control->sizeHint().height());
        return rect;
    }
    auto* label = qobject_cast<QLabel*>(control);
    if (!label)
        return rect;
    const int line = control->fontMetrics().height();
    if (rect.height() < line) {
        const int grow = line - rect.height();
        rect.adjust(0, -grow / 2, 0, grow - grow / 2);
    }
    // A wrapped text that needs more lines than its box grows downwards. No
    // character is wider than an em, so a text of few characters fits one
    // line without laying it out.
    const int em = QFontInfo(label->font()).pixelSize();
    if (em <= 0 || label->text().size() * em > rect.width()) {
        const int needed = label->heightForWidth(rect.width());
        if (needed > rect.height())
            rect.setHeight(needed);
    }
    return rect;
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
    QFile file(QStringLiteral(":/dialogs/%1.json").arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("missing");
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return parseError.errorString();
    const QJsonObject root = document.object();

    const QJsonObject fontSpec = root.value(QLatin1String("font")).toObject();
    const QFont font = DialogFont(fontSpec.value(QLatin1String("face")).toString(),
                                  fontSpec.value(QLatin1String("points")).toInt(12));
    dialog->setFont(font);
    const BaseUnits units = DialogBaseUnits(font);

    if (root.value(QLatin1String("style")).toString() == QLatin1String("child"))
        dialog->setWindowFlags(Qt::Widget);
    else
        dialog->setWindowTitle(root.value(QLatin1String("caption")).toString());
    const QJsonArray size = root.value(QLatin1String("size")).toArray();
    dialog->setFixedSize(
        MapDialogRect(units, QRect(0, 0, size.at(0).toInt(), size.at(1).toInt())).size());

    for (const QJsonValue& value : root.value(QLatin1String("controls")).toArray()) {
        const QJsonObject entry = value.toObject();
        QWidget* control = CreateControl(entry, dialog);
        if (!control)
            return QStringLiteral("unknown control kind \"%1\"")
                .arg(entry.value(QLatin1String("kind")).toString());
        const int controlId = entry.value(QLatin1String("id")).toInt(-1);
        if (controlId != -1)
            control->setObjectName(QString::number(controlId));
        control->setGeometry(
            FitControl(control, MapDialogRect(units, RectOf(entry.value(QLatin1String("rect"))))));
        const QJsonArray style = entry.value(QLatin1String("style")).toArray();
        if (style.contains(QLatin1String("disabled")))
            control->setEnabled(false);
        if (style.contains(QLatin1String("hidden")))
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
