#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QBuffer;
class QIODevice;

namespace common {

// Reads the fields of a binary settings record: integers little-endian, booleans as 16-bit
// integers (any non-zero value is true), strings as a 16-bit length and that many 8-bit bytes.
//
// A record cut short is read as far as it goes: each field that is complete in the data is
// taken, and from the first field that is not (missing bytes, or a string length that runs past
// the end) the reader stops, so that field and all after it keep the values they had.
//
// Read from a device (an open settings file), it takes from it only the bytes each field needs,
// so a file of any size costs no more than the record it should hold.
class RecordReader {
public:
    explicit RecordReader(QByteArray bytes);
    explicit RecordReader(QIODevice& device);
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    bool readInt16(qint16& field);
    bool readInt32(qint32& field);
    bool readBool16(bool& field);
    bool readString(QString& field);
    // A string field that holds a path, in the file system's bytes (DecodePathBytes).
    bool readPath(QString& field);

    // True while every field so far was complete.
    bool complete() const { return !m_stopped; }

    // The bytes the complete fields took, in order.
    const QByteArray& consumed() const { return m_taken; }
    // True when nothing follows the fields read so far (looks at one byte at most).
    bool atEnd();

private:
    bool take(qsizetype count, const char*& data);
    bool readBytes(QByteArray& field);

    std::unique_ptr<QBuffer> m_ownBuffer;
    QIODevice* m_device = nullptr;
    QByteArray m_taken;
    QByteArray m_pending; // read from the device but not yet taken by a field
    bool m_stopped = false;
};

// Writes fields in the same layout.
class RecordWriter {
public:
    void writeInt16(qint16 value);
    void writeInt32(qint32 value);
    void writeBool16(bool value);
    // Text is stored 8-bit; characters outside Latin-1 become '?'. Texts longer than 65,535
    // bytes are cut to fit the length field.
    void writeString(const QString& text);
    // A path in the file system's own bytes (EncodePathBytes), so that no character is lost.
    void writePath(const QString& path);

    const QByteArray& bytes() const { return m_bytes; }

private:
    void writeBytes(QByteArray bytes);

    QByteArray m_bytes;
};

} // namespace common
