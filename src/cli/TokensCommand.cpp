#include <iostream>

#include "cli/Commands.h"

namespace quenterra::cli {

int RunTokens(const TArgs&) {
  std::cerr << "tokens: not yet implemented\n";
  return 1;
}

}  // namespace quenterra::cli
