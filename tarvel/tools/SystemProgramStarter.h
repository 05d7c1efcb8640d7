#pragma once

#include "tools/OutsideTools.h"

namespace tarvel {

// The real starter: programs are looked up on PATH (or on the folders given) and started
// detached; documents and web addresses go to the desktop through QDesktopServices.
class SystemProgramStarter final : public ProgramStarter {
public:
    // `searchPath` empty: the PATH of the environment.
    explicit SystemProgramStarter(QStringList searchPath = {});

    QString findProgram(const QStringList& names) const override;
    bool start(const QString& program, const QStringList& arguments) override;
    bool open(const QUrl& url) override;

private:
    QStringList m_searchPath;
};

} // namespace tarvel
