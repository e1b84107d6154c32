#include "workbook/workbookzip.h"

#include "core/failure.h"

#include <QDir>
#include <QFile>
#include <zip.h>

namespace fee {

namespace {

    // Fast deflate for the parts we write: a sheet of many rows is mostly
    // repeated markup that any level shrinks well.
    constexpr zip_uint32_t kCompressionLevel = 1;

    QString zipErrorText(int code)
    {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        const QString text = QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        return text;
    }

} // namespace

WorkbookZip::WorkbookZip(const QString& fileName, Mode mode, const QString& displayName)
    : m_displayName(displayName.isEmpty() ? fileName : displayName)
{
    int error = 0;
    const int flags = mode == ReadOnly ? ZIP_RDONLY : mode == Create ? ZIP_CREATE | ZIP_TRUNCATE : 0;
    m_zip = zip_open(QFile::encodeName(fileName).constData(), flags, &error);
    if (!m_zip)
        fail(zipErrorText(error));
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        if (!name)
            continue;
        const QString stored = QString::fromUtf8(name);
        m_index.insert(stored.toLower(), i);
    }
}

WorkbookZip::~WorkbookZip()
{
    if (m_zip)
        zip_discard(m_zip);
}

void WorkbookZip::fail(const QString& reason) const
{
    throw Failure(
        kErrFile, QStringLiteral("无法读写工作簿 \"%1\": %2").arg(QDir::toNativeSeparators(m_displayName), reason));
}

void WorkbookZip::failOnError() const { fail(QString::fromUtf8(zip_strerror(m_zip))); }

QByteArray WorkbookZip::read(const QString& part, bool required) const
{
    const QString key = part.toLower();
    if (const auto written = m_written.constFind(key); written != m_written.constEnd())
        return written.value();
    const auto it = m_index.constFind(key);
    if (it == m_index.constEnd()) {
        if (required)
            fail(QStringLiteral("缺少 %1").arg(part));
        return {};
    }
    zip_file_t* file = zip_fopen_index(m_zip, zip_uint64_t(it.value()), 0);
    if (!file)
        fail(QStringLiteral("%1 已损坏: %2").arg(part, QString::fromUtf8(zip_strerror(m_zip))));
    QByteArray data;
    char buffer[64 * 1024];
    zip_int64_t n;
    while ((n = zip_fread(file, buffer, sizeof buffer)) > 0)
        data.append(buffer, qsizetype(n));
    const bool failed = n < 0;
    zip_fclose(file);
    if (failed)
        fail(QStringLiteral("%1 已损坏").arg(part));
    return data;
}

void WorkbookZip::write(const QString& part, const QByteArray& data)
{
    const QString key = part.toLower();
    // libzip reads the data at commit: it stays here until then (a part written twice keeps both).
    m_kept.append(data);
    m_written.insert(key, data);
    const QByteArray& kept = m_kept.last();
    zip_source_t* source = zip_source_buffer(m_zip, kept.constData(), zip_uint64_t(kept.size()), 0);
    if (!source)
        failOnError();
    zip_int64_t index;
    const auto it = m_index.constFind(key);
    const bool replaced = it != m_index.constEnd();
    if (replaced) {
        index = it.value();
        if (zip_file_replace(m_zip, zip_uint64_t(index), source, 0) < 0) {
            zip_source_free(source);
            failOnError();
        }
    } else {
        index = zip_file_add(m_zip, part.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            failOnError();
        }
        m_index.insert(key, index);
    }
    // libzip forgets the level when the method equals the replaced entry's
    // own (and then deflates at its slowest, level 9); for a replaced entry
    // "default" names deflate too and keeps the level.
    const zip_int32_t method = replaced ? ZIP_CM_DEFAULT : ZIP_CM_DEFLATE;
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), method, kCompressionLevel) < 0)
        failOnError();
}

void WorkbookZip::remove(const QString& part)
{
    const QString key = part.toLower();
    const auto it = m_index.constFind(key);
    if (it == m_index.constEnd())
        return;
    if (zip_delete(m_zip, zip_uint64_t(it.value())) < 0)
        failOnError();
    m_index.remove(key);
    m_written.remove(key);
}

void WorkbookZip::commit()
{
    if (zip_close(m_zip) < 0)
        failOnError(); // the archive stays open and is discarded with this object
    m_zip = nullptr;
    m_kept.clear();
    m_written.clear();
}

} // namespace fee
