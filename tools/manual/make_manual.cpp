// Typesets the manual from its Markdown source into a PDF (US Letter), with the pictures the
// source refers to resolved beside it:
//   make_manual <manual.md> <output.pdf>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3)
        return 2;
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly))
        return 1;
    QTextDocument doc;
    QFont body(QStringLiteral("Liberation Serif"));
    body.setPointSizeF(11);
    doc.setDefaultFont(body);
    doc.setDefaultStyleSheet(QStringLiteral(
        "h1, h2, h3 { font-family: 'Liberation Sans'; } table { border-collapse: collapse; }"
        " td, th { padding: 3px; }"));
    // Through HTML, so that the pictures can be handed to the document under names of their own:
    // printing works on a copy of the document that would not find them beside the source.
    QTextDocument markdown;
    markdown.setMarkdown(QString::fromUtf8(source.readAll()));
    QString html = markdown.toHtml();
    const QString folder = QFileInfo(source).absolutePath() + QLatin1Char('/');
    static const QRegularExpression picture(QStringLiteral("<img src=\"([^\"]+)\""));
    for (const auto& m : picture.globalMatch(html)) {
        const QImage image(folder + m.captured(1));
        if (image.isNull())
            return 1;
        doc.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("manual:") + m.captured(1)), image);
    }
    html.replace(QStringLiteral("<img src=\""), QStringLiteral("<img src=\"manual:"));
    doc.setHtml(html);
    doc.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("OVREL Manual"));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("OVREL Manual"));
    pdf.setCreator(QStringLiteral("OVREL"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                  QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter));
    doc.print(&pdf);
    return 0;
}
