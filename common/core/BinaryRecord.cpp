#include "core/BinaryRecord.h"

#include "core/Paths.h"

#include <QBuffer>
#include <QtEndian>

#include <utility>

namespace common {

RecordReader::RecordReader(QByteArray bytes) : m_ownBuffer(std::make_unique<QBuffer>())
{
    m_ownBuffer->setData(std::move(bytes));
    m_ownBuffer->open(QIODevice::ReadOnly);
    m_device = m_ownBuffer.get();
}

RecordReader::RecordReader(QIODevice& device) : m_device(&device) {}

RecordReader::~RecordReader() = default;

bool RecordReader::take(qsizetype count, const char*& data)
{
    if (m_stopped)
        return false;
    if (m_pending.size() < count)
        m_pending += m_device->read(count - m_pending.size());
    if (m_pending.size() < count) {
        m_stopped = true;
        return false;
    }
    const qsizetype at = m_taken.size();
    m_taken += m_pending.left(count);
    m_pending.remove(0, count);
    data = m_taken.constData() + at;
    return true;
}

bool RecordReader::atEnd()
{
    if (m_pending.isEmpty())
        m_pending = m_device->read(1);
    return m_pending.isEmpty();
}

bool RecordReader::readInt16(qint16& field)
{
    const char* data = nullptr;
    if (!take(2, data))
        return false;
    field = qFromLittleEndian<qint16>(data);
    return true;
}

bool RecordReader::readInt32(qint32& field)
{
    const char* data = nullptr;
    if (!take(4, data))
        return false;
    field = qFromLittleEndian<qint32>(data);
    return true;
}

bool RecordReader::readBool16(bool& field)
{
    qint16 raw = 0;
    if (!readInt16(raw))
        return false;
    field = raw != 0;
    return true;
}

bool RecordReader::readString(QString& field)
{
    QByteArray bytes;
    if (!readBytes(bytes))
        return false;
    field = QString::fromLatin1(bytes);
    return true;
}

bool RecordReader::readPath(QString& field)
{
    QByteArray bytes;
    if (!readBytes(bytes))
        return false;
    field = DecodePathBytes(bytes);
    return true;
}

bool RecordReader::readBytes(QByteArray& field)
{
    const char* data = nullptr;
    if (!take(2, data))
        return false;
    const quint16 length = qFromLittleEndian<quint16>(data);
    if (!take(length, data)) {
        // The length belongs to the incomplete field, not to what was read.
        m_taken.chop(2);
        return false;
    }
    field = QByteArray(data, length);
    return true;
}

void RecordWriter::writeInt16(qint16 value)
{
    char data[2];
    qToLittleEndian<qint16>(value, data);
    m_bytes.append(data, 2);
}

void RecordWriter::writeInt32(qint32 value)
{
    char data[4];
    qToLittleEndian<qint32>(value, data);
    m_bytes.append(data, 4);
}

void RecordWriter::writeBool16(bool value)
{
    writeInt16(value ? qint16(-1) : qint16(0));
}

void RecordWriter::writeString(const QString& text)
{
    writeBytes(text.toLatin1());
}

void RecordWriter::writePath(const QString& path)
{
    writeBytes(EncodePathBytes(path));
}

void RecordWriter::writeBytes(QByteArray bytes)
{
    if (bytes.size() > 0xFFFF)
        bytes.truncate(0xFFFF);
    char length[2];
    qToLittleEndian<quint16>(static_cast<quint16>(bytes.size()), length);
    m_bytes.append(length, 2);
    m_bytes.append(bytes);
}

} // namespace common
