// Reads a job, asks a few questions about it, completes it with one rule of its own and writes
// it back:  consumer JOB OUT
#include <KestCmdEngine.h>

#include <iostream>

using namespace KestCmdItemDefs;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: consumer JOB OUT\n";
        return 2;
    }
    KestCmdIoConfig config;
    // Every design variable without bounds gets MIN = 0.001 (runs after the standard rules).
    config.default_value_rules.push_back(
        {KestCmdDefs::DV,
         [](KestCmd& dv, const KestCmdContainer& job, const EnumMap& enums) {
             KestCmdContainerDefaultRules::Rule_AddValueIfNotPresent(dv, job, MIN, "0.001", enums);
         },
         false});

    KestCmdContainer job;
    try {
        KestParFileAdapter(KestFileUtil::path_from_utf8(argv[1]), config).Parse(job);
    } catch (const ZUL_Failure& failure) {
        std::cerr << failure.what() << '\n';
        return 1;
    }

    // Typed readings and references.
    for (const KestCmd* response : job.Filter(KestCmdDefs::DRESP, TYPE, "VOLUME")) {
        if (!response->HasItem(GROUP)) {
            continue;
        }
        const KestCmdItem& group = response->Item(GROUP, 0);
        std::cout << "volume response on group " << group.GetString();
        if (group.HasReference() && group.GetReference()->HasItem(LIST_BEGIN)) {
            const KestCmdItem& elements = group.GetReference()->Item(LIST_BEGIN, 0);
            std::cout << " of " << elements.GetLumoList().size() << " elements";
        }
        std::cout << '\n';
    }
    const KestCmd& update = job.GetCommand(KestCmdDefs::DV_UPDATE_PARAM, 0);
    std::cout << "update value " << update.Item(VALUE, 0).GetReal() << '\n';

    try {
        KestCmdParOutput(KestFileUtil::path_from_utf8(argv[2]), job,
                         KestCmdDefs::get_default_cmd_names(), default_item_names)
            .Write(L"w");
    } catch (const ZUL_Failure& failure) {
        std::cerr << failure.what() << '\n';
        return 1;
    }
    return job.HasCommand(KestCmdDefs::OPTIMIZE) ? 0 : 1;
}
