#pragma once

#include <QString>

namespace fee {

// The logged-in session: filled once by the login or the start-up command
// line, read by every window afterwards.
struct SessionInfo {
    QString UserCode;
    QString UserName;
    QString DepartmentCode;
    QString DepartmentName;
    QString PositionCode;
    QString PositionName;
    QString DepartmentCategoryCode;
    QString DepartmentCategoryName;
    QString PositionCategoryCode;
    QString PositionCategoryName;

    static constexpr int kFieldCount = 10;
    QString& field(int index); // 0..9 in the order above
    const QString& field(int index) const;
};

// The process-wide session record.
SessionInfo& sessionInfo();

} // namespace fee
