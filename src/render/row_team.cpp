#include "render/row_team.h"

namespace quiltora {

bool RowTeamHasHelper() { return std::thread::hardware_concurrency() > 1; }

}  // namespace quiltora
