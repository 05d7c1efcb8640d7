#include "core/BinaryRecord.h"

#include "core/Paths.h"

#include <QtEndian>

#include <utility>

namespace common {

RecordReader::RecordReader(QByteArray bytes) : m_bytes(std::move(bytes)) {}

bool RecordReader::take(qsizetype count, const char*& data)
{
    if (m_stopped || m_bytes.size() - m_pos < count) {
        m_stopped = true;
        return false;
    }
    data = m_bytes.constData() + m_pos;
    m_pos += count;
    return true;
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
    if (m_stopped || m_bytes.size() - m_pos < 2) {
        m_stopped = true;
        return false;
    }
    const quint16 length = qFromLittleEndian<quint16>(m_bytes.constData() + m_pos);
    if (m_bytes.size() - m_pos - 2 < length) {
        m_stopped = true;
        return false;
    }
    m_pos += 2;
    take(length, data);
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
