#include "worker/Stamp.h"

namespace Worker {

std::vector<std::string> signature(const FileStatus& st)
{
    return {
        std::to_string(st.device),       std::to_string(st.inode),        std::to_string(st.size),
        std::to_string(st.mtimeSeconds), std::to_string(st.mtimeNanoseconds), std::to_string(st.ctimeSeconds),
        std::to_string(st.ctimeNanoseconds),
    };
}

}
