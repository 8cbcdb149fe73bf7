#pragma once
// The archive page in a window of its own, over the small decoded archive, with a prompter
// and a logged-on page host.
#include "tests/common/fake_prompter.h"
#include "tests/pages/kit/archive_fixture.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/widgets/adv_column_grid.h"

#include <QWidget>

#include <memory>

namespace archivetest {

class ArchiveViewerFixture : public ArchiveFixture {
public:
    // Makes the page and shows its window at 900 x 600.
    void OpenViewer()
    {
        owner = std::make_unique<QWidget>();
        page = new TfraArchiveViewer(owner.get());
        owner->resize(900, 600);
        owner->show();
        grid = page->gridArchive();
    }

    FakePrompter prompter;
    pagetest::TestHost host{true};
    std::unique_ptr<QWidget> owner;
    TfraArchiveViewer* page = nullptr;
    QAdvColumnGrid* grid = nullptr;
};

}  // namespace archivetest
