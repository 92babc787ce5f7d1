#include "calc_sheet.h"

#include <QXmlStreamReader>

namespace tastalo::bench {

QString emptyTextSheet() {
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <number:text-style style:name="NTesto"><number:text-content/></number:text-style>
  <style:style style:name="ceTesto" style:family="table-cell" style:parent-style-name="Default" style:data-style-name="NTesto"/>
  <style:style style:name="co1" style:family="table-column"><style:table-column-properties style:column-width="6cm"/></style:style>
 </office:automatic-styles>
 <office:body>
  <office:spreadsheet>
   <table:table table:name="Barcode">
    <table:table-column table:style-name="co1" table:number-columns-repeated="64" table:default-cell-style-name="ceTesto"/>
    <table:table-row table:number-rows-repeated="20000"><table:table-cell table:style-name="ceTesto" table:number-columns-repeated="64"/></table:table-row>
   </table:table>
  </office:spreadsheet>
 </office:body>
</office:document>
)");
}

QString profileSettings() {
    QString items;
    const auto item = [&](const char* path, const char* name, const char* value) {
        items += QStringLiteral(
                     "<item oor:path=\"%1\"><prop oor:name=\"%2\" "
                     "oor:op=\"fuse\"><value>%3</value></prop></item>\n")
                     .arg(QLatin1String(path), QLatin1String(name), QLatin1String(value));
    };
    item("/org.openoffice.Office.Calc/Input", "AutoInput", "false");
    for (const char* option :
         {"UseReplacementTable", "TwoCapitalsAtStart", "CapitalAtStartSentence", "ChangeUnderlineWeight",
          "SetInetAttribute", "ChangeOrdinalNumber", "ChangeDash", "AddNonBreakingSpace", "ChangeAngleQuotes",
          "RemoveDoubleSpaces", "CorrectAccidentalCapsLock", "ReplaceSingleQuote", "ReplaceDoubleQuote",
          "TransliterateRTL"})
        item("/org.openoffice.Office.Common/AutoCorrect", option, "false");
    item("/org.openoffice.Office.Common/Misc", "ShowTipOfTheDay", "false");
    item("/org.openoffice.Office.Common/Misc", "FirstRun", "false");
    item("/org.openoffice.Setup/Office", "ooSetupInstCompleted", "true");
    item("/org.openoffice.Office.Recovery/RecoveryInfo", "Enabled", "false");
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
               "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
               "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n") +
           items + QStringLiteral("</oor:items>\n");
}

namespace {

const QString kTable = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString kText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

int repeated(const QXmlStreamReader& xml, const char* attribute) {
    const QStringView value = xml.attributes().value(kTable, QLatin1String(attribute));
    return value.isEmpty() ? 1 : value.toInt();
}

// The text of a cell, its paragraphs joined by line ends, spaces and tabs
// as ODF writes them.
QString cellText(QXmlStreamReader& xml) {
    QString text;
    int paragraphs = 0, inParagraph = 0;
    for (int depth = 1; depth > 0 && !xml.atEnd();) {
        switch (xml.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                if (xml.namespaceUri() != kText) break;
                if (xml.name() == QLatin1String("p")) {
                    if (paragraphs++ > 0) text += u'\n';
                    inParagraph = depth;
                } else if (xml.name() == QLatin1String("s")) {
                    const QStringView count = xml.attributes().value(kText, QLatin1String("c"));
                    text += QString(count.isEmpty() ? 1 : count.toInt(), u' ');
                } else if (xml.name() == QLatin1String("tab")) {
                    text += u'\t';
                }
                break;
            case QXmlStreamReader::EndElement:
                if (depth == inParagraph) inParagraph = 0;
                --depth;
                break;
            case QXmlStreamReader::Characters:
                // Between the elements a saved file has only its indentation.
                if (inParagraph != 0) text += xml.text();
                break;
            default: break;
        }
    }
    return text;
}

}  // namespace

QStringList columnOf(const QString& flatOds, int column) {
    QXmlStreamReader xml(flatOds);
    QStringList cells;
    bool inTable = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.namespaceUri() != kTable) {
            if (xml.isEndElement() && xml.namespaceUri() == kTable && xml.name() == QLatin1String("table") &&
                inTable)
                break;
            continue;
        }
        if (xml.name() == QLatin1String("table")) inTable = true;
        if (!inTable || xml.name() != QLatin1String("table-row")) continue;
        const int rows = repeated(xml, "number-rows-repeated");
        QString value;
        int at = 0;
        for (int depth = 1; depth > 0 && !xml.atEnd();) {
            const auto token = xml.readNext();
            if (token == QXmlStreamReader::EndElement) {
                --depth;
                continue;
            }
            if (token != QXmlStreamReader::StartElement) continue;
            const bool cell = xml.name() == QLatin1String("table-cell") ||
                              xml.name() == QLatin1String("covered-table-cell");
            if (!cell) {
                ++depth;
                continue;
            }
            const int columns = repeated(xml, "number-columns-repeated");
            if (at <= column && column < at + columns) {
                value = cellText(xml);
            } else {
                xml.skipCurrentElement();
            }
            at += columns;
        }
        for (int i = 0; i < rows; ++i) cells << value;
    }
    if (xml.hasError()) return {};
    while (!cells.isEmpty() && cells.last().isEmpty()) cells.removeLast();
    return cells;
}

}  // namespace tastalo::bench
