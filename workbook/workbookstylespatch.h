#pragma once

#include "workbook/workbookformat.h"
#include "workbook/workbookxmltext.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace fee {

// Adds cell formats to a package's styles part by appending only: other
// sheets refer to fonts, fills, borders, number formats and cell styles by
// their index, so nothing already there moves or changes. A format the part
// already holds in the same form (from an earlier export) is used again.
class WorkbookStylesPatch {
public:
    // stylesXml: the part's text; empty when the package has no styles part
    // (one is then made). Throws Failure(kErrFile) for a part that cannot be read.
    WorkbookStylesPatch(const QString& stylesXml, const QString& part);

    // The package's cell style index for the format.
    int styleFor(const WorkbookFormat& format);
    bool changed() const;
    QString result() const;

    static const char* const kMainNamespace;

private:
    enum Section { NumFmts, Fonts, Fills, Borders, CellStyleXfs, CellXfs, SectionCount };
    struct SectionState {
        qsizetype span = -1; // index into m_spans, -1 when the part lacks the section
        int existing = 0;
        QHash<QString, int> indexOf; // element text -> index, existing ones and appended ones
        QStringList appended;
    };
    int indexIn(Section section, const QString& element);
    int numberFormatId(const QString& code);
    QString tag(const char* name) const { return m_prefix + QLatin1String(name); }
    QString fontElement(const WorkbookFormat& f) const;

    QString m_text;
    QString m_part;
    QVector<XmlSpan> m_spans;
    QString m_prefix;
    SectionState m_sections[SectionCount];
    QHash<QString, int> m_numFmtIds; // format code -> id (custom ones)
    int m_nextNumFmtId = 164;
    // The workbook's default font (the first one): what a format without a font of its own shows.
    QString m_baseFontName;
    double m_baseFontSize = 11;
    QString m_baseFontFamily;
    QString m_baseFontCharset;
    QString m_baseFontScheme;
};

} // namespace fee
