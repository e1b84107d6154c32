#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace fee {

// The field names of a result and their lookup without regard to case: the
// first field whose name equals the one asked for, as a scan would find it,
// through a hash instead of a scan.
class FieldIndex {
public:
    FieldIndex() = default;
    explicit FieldIndex(QStringList names);

    int count() const { return int(m_names.size()); }
    QString name(int index) const { return m_names.value(index); }
    // -1 when no field has this name.
    int find(const QString& name) const;

private:
    QStringList m_names;
    QHash<QString, int> m_exact; // a name as spelled → its first match ignoring case
    QHash<QString, int> m_folded; // case-folded name → first field
};

} // namespace fee
