// Makes the manual the help menu opens: the README's sections for users
// (not its quick start for developers, the source layout or development)
// as one HTML page, with the program's --help text at the end, so that the
// page, the README and the command line never drift apart.
//   skarn-makemanual README.md PROGRAM VERSION OUTPUT
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <cstdio>

namespace {
const QStringList developerSections = {"Quick start", "Layout", "Development"};

// Emphasis, links and code spans of one line of text; code is left as it
// is (held aside while the marks around it are read).
QString inlineHtml(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('`'));
    QStringList code;
    QString html;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i % 2) {
            html += QStringLiteral("\x01%1\x02").arg(code.size());
            code << QStringLiteral("<code>%1</code>").arg(parts.at(i).toHtmlEscaped());
        } else {
            html += parts.at(i).toHtmlEscaped();
        }
    }
    html.replace(QRegularExpression(QStringLiteral("\\*\\*(.+?)\\*\\*")),
                 QStringLiteral("<strong>\\1</strong>"));
    html.replace(QRegularExpression(QStringLiteral("\\*(\\S.*?)\\*")),
                 QStringLiteral("<em>\\1</em>"));
    html.replace(QRegularExpression(QStringLiteral("\\[([^\\]]+)\\]\\(([^)]+)\\)")),
                 QStringLiteral("<a href=\"\\2\">\\1</a>"));
    for (qsizetype i = 0; i < code.size(); ++i)
        html.replace(QStringLiteral("\x01%1\x02").arg(i), code.at(i));
    return html;
}

QString tableRow(const QString &line, const char *cell)
{
    QStringList cells = line.trimmed().mid(1).chopped(1).split(QLatin1Char('|'));
    QString html = QStringLiteral("<tr>");
    for (const QString &c : cells)
        html += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(cell), inlineHtml(c.trimmed()));
    return html + QStringLiteral("</tr>\n");
}

// The subset of Markdown the README uses: headings, paragraphs, lists with
// indented continuation lines, fenced code, tables, inline marks. The text
// of a paragraph or list item is read whole: a mark may span its lines.
QString markdownToHtml(const QStringList &lines)
{
    QString html;
    QString text; // of the paragraph or list item in hand
    bool inList = false, inItem = false, inTable = false, inCode = false;
    const auto closeText = [&] {
        if (inItem)
            html += QStringLiteral("<li>%1</li>\n").arg(inlineHtml(text));
        else if (!text.isEmpty())
            html += QStringLiteral("<p>%1</p>\n").arg(inlineHtml(text));
        text.clear();
        inItem = false;
    };
    const auto closeBlocks = [&] {
        closeText();
        if (inList)
            html += QStringLiteral("</ul>\n"), inList = false;
        if (inTable)
            html += QStringLiteral("</table>\n"), inTable = false;
    };
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("```"))) {
            closeBlocks();
            html += inCode ? QStringLiteral("</pre>\n") : QStringLiteral("<pre>");
            inCode = !inCode;
        } else if (inCode) {
            html += line.toHtmlEscaped() + QLatin1Char('\n');
        } else if (line.trimmed().isEmpty()) {
            closeBlocks();
        } else if (line.startsWith(QLatin1Char('#'))) {
            closeBlocks();
            const qsizetype level = line.indexOf(QLatin1Char(' '));
            html +=
                QStringLiteral("<h%1>%2</h%1>\n").arg(level).arg(inlineHtml(line.mid(level + 1)));
        } else if (line.startsWith(QLatin1Char('|'))) {
            if (!inTable) {
                closeBlocks();
                html += QStringLiteral("<table>\n") + tableRow(line, "th");
                inTable = true;
            } else if (!line.contains(QRegularExpression(QStringLiteral("^[|\\s:-]+$")))) {
                html += tableRow(line, "td");
            }
        } else if (line.startsWith(QLatin1String("- "))) {
            closeText();
            if (!inList)
                html += QStringLiteral("<ul>\n"), inList = true;
            text = line.mid(2);
            inItem = true;
        } else if (!line.startsWith(QLatin1Char('!'))) { // pictures stay in the README
            if (inList && !inItem)                       // a paragraph after a list
                closeBlocks();
            text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + line.trimmed();
        }
    }
    closeBlocks();
    return html;
}

// The README without the sections for developers.
QStringList userSections(const QStringList &readme)
{
    QStringList kept;
    bool skipping = false;
    for (const QString &line : readme) {
        if (line.startsWith(QLatin1String("## ")))
            skipping = developerSections.contains(line.mid(3).trimmed());
        if (!skipping)
            kept << line;
    }
    return kept;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fputs("usage: skarn-makemanual README.md PROGRAM VERSION OUTPUT\n", stderr);
        return 2;
    }
    QFile readme(args.at(1));
    if (!readme.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.at(1)));
        return 1;
    }
    QProcess program;
    program.start(args.at(2), {QStringLiteral("--help")});
    if (!program.waitForFinished(30000) || program.exitCode() != 0) {
        std::fprintf(stderr, "%s --help failed\n", qPrintable(args.at(2)));
        return 1;
    }
    const QStringList lines = QString::fromUtf8(readme.readAll()).split(QLatin1Char('\n'));
    const QString html =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>Skarn Config %1</title>\n<style>\n"
                       "body { font-family: sans-serif; max-width: 50em; margin: 2em auto; "
                       "padding: 0 1em; line-height: 1.45; }\n"
                       "pre, code { font-family: monospace; } pre { overflow-x: auto; }\n"
                       "table { border-collapse: collapse; } "
                       "th, td { border: 1px solid #999; padding: 0.2em 0.5em; "
                       "text-align: left; vertical-align: top; }\n"
                       "</style>\n</head>\n<body>\n")
            .arg(args.at(3).toHtmlEscaped()) +
        markdownToHtml(userSections(lines)) +
        QStringLiteral("<h2 id=\"command-line-help\">skarn-config --help</h2>\n<pre>%1</pre>\n")
            .arg(QString::fromLocal8Bit(program.readAllStandardOutput()).toHtmlEscaped()) +
        QStringLiteral("</body>\n</html>\n");
    QFile output(args.at(4));
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        output.write(html.toUtf8()) < 0 || !output.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(4)));
        return 1;
    }
    return 0;
}
