// Arbitrary bytes as a project file opened in the editor, whose controls keep their values
// for the keys a file lacks: the read must hold up, and what it gives must come back unchanged
// when the editor saves the project and opens it again.
#include "platform/Profile.h"
#include "storage/project/ProjectFile.h"

#include <cstdint>
#include <cstdlib>

using namespace ProjectFile;

namespace {

// The design window of a new project: every control holds a value before a file is read.
TProjectData newProject() {
    TProjectData d;
    const TProjectFont font{QStringLiteral("MS Sans Serif"), 8, 0, true};
    d.Title1Font = d.Title2Font = d.CopyrightFont = d.MenuFont = font;
    for (TSwitchedText& b : d.Buttons)
        b.Text = QStringLiteral("Button");
    for (TSwitchedText& t : d.Tools)
        t.Text = QStringLiteral("Tool");
    for (int i = 0; i < CaptionRows; ++i)
        d.Captions << QStringLiteral("Caption %1").arg(i);
    d.Groups = QList<TProjectGroup>(MaxGroups);
    d.HelpFile = QStringLiteral("readme.txt");
    return d;
}

TProjectData opened(const QByteArray& bytes) {
    TProjectData d = newProject();
    ReadProjectProfile(Profile::TProfileText::Parse(bytes), d, TProjectKeyDefaults::Editor());
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TProjectData project =
        opened(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (project.Entries.size() > MaxEntries || project.Captions.size() != CaptionRows ||
        project.Groups.size() != MaxGroups || GroupCount(project) > MaxGroups)
        abort();
    const QByteArray saved = ProjectProfile(project, false).ToBytes();
    if (ProjectProfile(opened(saved), false).ToBytes() != saved)
        abort();
    (void)ProjectProfile(project, true).ToBytes();
    return 0;
}
