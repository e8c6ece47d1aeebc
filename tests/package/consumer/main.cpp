#include <KestCmdEngine.h>

int main() {
    KestCmd cmd(KestCmdDefs::DV);
    cmd.AddAutoItem(KestCmdItemDefs::GROUP, "1-10:3", KestCmdItemDefs::create_enum_map());
    const bool ok = HALDEN_WORKS_BRX4_INTERNAL_KestCmdEngine() == 1 &&
                    cmd.Item(KestCmdItemDefs::GROUP, 0).GetLumoList().size() == 4;
    return ok ? 0 : 1;
}
