#include "support/golden.h"

#include <fstream>
#include <sstream>

namespace nelvo::test {

std::string testDataPath(const std::string& relativePath)
{
    return std::string(NELVO_TEST_DATA) + "/" + relativePath;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string golden(const std::string& relativePath, const std::string& actual)
{
    const std::string path = testDataPath(relativePath);
    const std::string expected = readFile(path);
    if (expected != actual) {
        std::ofstream out(path + ".actual", std::ios::binary);
        out << actual;
    }
    return expected;
}

}  // namespace nelvo::test
