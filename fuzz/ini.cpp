// Arbitrary bytes as a profile (INI) file: every read, a write and the project reader must hold
// up, and the parser must give back the bytes it was given.
#include "platform/Profile.h"
#include "storage/project/ProjectFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Profile::TProfileText profile = Profile::TProfileText::Parse(bytes);
    if (profile.ToBytes() != bytes)
        abort();

    const QStringList sections = profile.SectionNames();
    for (const QString& section : sections) {
        for (const QString& key : profile.KeyNames(section)) {
            if (profile.ReadString(section, key, QString()).size() > Profile::MaxValueLength)
                abort();
            profile.ReadInt(section, key, 0);
        }
    }

    ProjectFile::TProjectData project;
    ProjectFile::ReadProjectProfile(profile, project, ProjectFile::TProjectKeyDefaults::Player());
    if (project.Entries.size() > ProjectFile::MaxEntries || project.Captions.size() < 13)
        abort();

    // A value set into the text must read back after a round trip through bytes.
    const QString section = sections.isEmpty() ? QStringLiteral("New") : sections.first();
    const QString value =
        QString::fromUtf8(bytes.left(64)).replace(u'\r', u' ').replace(u'\n', u' ');
    if (profile.SetValue(section, QStringLiteral("Key"), value)) {
        const Profile::TProfileText again = Profile::TProfileText::Parse(profile.ToBytes());
        if (again.Value(section, QStringLiteral("Key")) != value)
            abort();
    }
    profile.DeleteKey(section, QStringLiteral("Key"));
    profile.DeleteSection(section);
    return 0;
}
