#include "core/sessioninfo.h"

namespace fee {

namespace {
    QString* fieldPointer(SessionInfo& s, int index)
    {
        QString* fields[SessionInfo::kFieldCount] = { &s.UserCode, &s.UserName, &s.DepartmentCode, &s.DepartmentName,
            &s.PositionCode, &s.PositionName, &s.DepartmentCategoryCode, &s.DepartmentCategoryName,
            &s.PositionCategoryCode, &s.PositionCategoryName };
        return (index >= 0 && index < SessionInfo::kFieldCount) ? fields[index] : nullptr;
    }
} // namespace

QString& SessionInfo::field(int index)
{
    static QString outOfRange;
    QString* p = fieldPointer(*this, index);
    return p ? *p : outOfRange;
}

const QString& SessionInfo::field(int index) const { return const_cast<SessionInfo*>(this)->field(index); }

SessionInfo& sessionInfo()
{
    static SessionInfo info;
    return info;
}

} // namespace fee
