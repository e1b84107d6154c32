#include "db/fieldindex.h"

namespace fee {

FieldIndex::FieldIndex(QStringList names)
    : m_names(std::move(names))
{
    m_folded.reserve(m_names.size());
    m_exact.reserve(m_names.size());
    // Backwards, so that the first of fields equal but for case wins.
    for (int i = int(m_names.size()) - 1; i >= 0; --i)
        m_folded.insert(m_names[i].toCaseFolded(), i);
    for (int i = 0; i < m_names.size(); ++i)
        m_exact.insert(m_names[i], m_folded.value(m_names[i].toCaseFolded()));
}

int FieldIndex::find(const QString& name) const
{
    // Most reads spell the name as the statement does: no folding then.
    const auto exact = m_exact.constFind(name);
    if (exact != m_exact.cend())
        return exact.value();
    return m_folded.value(name.toCaseFolded(), -1);
}

} // namespace fee
