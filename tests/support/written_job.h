// A job compared as the writer prints it, for tests and fuzz targets that check that two texts
// read as the same job.
#pragma once

#include "engine/io/KestCmdOutput.h"
#include "engine/io/KestParFileAdapter.h"
#include "support/captured_stream.h"

#include <string>
#include <string_view>

namespace test_support {

/// `job` as KestCmdParOutput writes it with the standard names.
inline std::string written(const KestCmdContainer& job) {
    const CapturedStream stream;
    KestCmdParOutput(L"job.par", job, KestCmdDefs::get_default_cmd_names(),
                     KestCmdItemDefs::default_item_names)
        .Write(stream.get());
    return stream.text();
}

/// The completed job of `text`, read with the standard configuration, as the writer prints it.
inline std::string job_of(std::string_view text) {
    static const KestParFileAdapter reader(L"job.par", KestCmdIoConfig());
    KestCmdContainer job;
    reader.ParseText(text, job);
    return written(job);
}

} // namespace test_support
