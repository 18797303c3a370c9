// Automatic recovery of unsaved work. While the contour differs from the file last opened or
// saved (the comparison the closing question makes), a copy of it is kept on disk, written at
// most one interval after a change and at most once an interval. The editing paths are not
// touched: a timer compares the encoded contour with what was last written. At start, the
// copies left by editors that did not close are offered back.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "io/recovery_store.h"
#include "model/contour_file.h"

namespace window {

class TBaseForm;

class RecoveryKeeper : public QObject {
    Q_OBJECT
  public:
    static constexpr int kIntervalMs = 2000;

    RecoveryKeeper(TBaseForm& form, std::unique_ptr<io::RecoveryStore> store,
                   int intervalMs = kIntervalMs);

    // Asks about each orphan, newest first, until one is restored; damaged ones are reported
    // once and set aside. Then starts keeping this editor's copy.
    void Start();
    // One comparison: writes the copy when the contour changed since the last write, removes
    // it when the contour equals the saved file again.
    void Tick();
    // The editor closes normally: its copy is no longer needed.
    void Finish();

    io::RecoveryStore& store() { return *store_; }

  private:
    void ReportUnwritable();
    bool OfferOrphans();

    TBaseForm& form_;
    std::unique_ptr<io::RecoveryStore> store_;
    QTimer timer_;
    std::optional<model::ContourFileImage> written_;
    bool reported_ = false;
    bool finished_ = false;
};

// The recovery folder of this user: the application's data folder, then "recovery".
QString DefaultRecoveryFolder();

}  // namespace window
