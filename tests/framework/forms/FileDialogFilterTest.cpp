#include "framework/forms/OpenDialog.h"

#include <QComboBox>
#include <QFileDialog>
#include <gtest/gtest.h>

namespace {

// The file dialog lists each entry's text once, as it stands, and still filters by its masks.
TEST(FileDialogFilterTest, EntriesShowTheirTextOnceAndKeepTheirMasks) {
    const struct {
        const char* filter;
        QStringList shown;
    } cases[] = {
        {"Configuration files (*.qor)|*.qor|Template files (*.zun)|*.zun",
         {"Configuration files (*.qor)", "Template files (*.zun)"}},
        {"Configuration files (*.qor;*.zun))|;*.qor;*.zun|All files (*.*)|*.*",
         {"Configuration files (*.qor;*.zun))", "All files (*.*)"}},
        {"*.*|*.*", {"*.*"}},
    };
    for (const auto& c : cases) {
        QFileDialog dialog;
        PrepareFileDialog(dialog, QLatin1String(c.filter), int(c.shown.size()));
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(combo, nullptr);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(FileFilterIndexOf(QLatin1String(c.filter), dialog.selectedNameFilter()),
                  c.shown.size());
    }
}

} // namespace
