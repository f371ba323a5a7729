#pragma once
// A RowSink for the text formats: a TextFormat writes into a buffer that
// goes to the output once it holds about a megabyte (and on flush/finish).

#include "export/RowSink.h"
#include "export/TextFormat.h"

#include <functional>

namespace exports {

class TextSink : public RowSink {
public:
    // write takes the bytes for the output (a failure ends the export);
    // close ends the output once everything is written.
    using Write = std::function<Status(const QByteArray& bytes)>;
    using Close = std::function<Status()>;
    TextSink(std::unique_ptr<TextFormat> format, Write write, Close close);

    Status beginSet(const std::vector<db::Field>& fields) override;
    Status writeRows(const db::RowBlock& rows) override;
    Status flush() override;
    Status finish() override;

private:
    Status writeOut(bool always);

    std::unique_ptr<TextFormat> format_;
    Write write_;
    Close close_;
    QByteArray buffer_;
    bool inSet_ = false;
    bool finished_ = false;
    Status failure_;
};

} // namespace exports
