// The floor of the defect scan: the least any program must do to look at the
// end of every JPEG file of a tree, in one thread and without any library.
//
//   floor_scan DIR
//
// Walks DIR with readdir and d_type (hidden folders skipped, links neither
// followed nor collected, like the program), keeping each folder open, then
// opens every ".jpg"/".jpeg" file relative to its folder and reads its last
// two bytes. Prints the file count, the count ending in 0xFF 0xD9, and the
// seconds of the walk, of the test loop and of both.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct File {
    int folder;
    std::string name;
};

bool hasJpegExtension(const char* name) {
    const char* dot = std::strrchr(name, '.');
    if (!dot)
        return false;
    std::string extension(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "jpg" || extension == "jpeg";
}

void walk(int folder, std::vector<File>& files, std::vector<int>& folders) {
    folders.push_back(folder);
    DIR* dir = ::fdopendir(::dup(folder));
    if (!dir)
        return;
    std::vector<std::string> subFolders;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.' && entry->d_type == DT_DIR)
            continue;
        if (entry->d_type == DT_REG && hasJpegExtension(entry->d_name))
            files.push_back({folder, entry->d_name});
        else if (entry->d_type == DT_DIR)
            subFolders.push_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : subFolders) {
        const int sub =
            ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (sub >= 0)
            walk(sub, files, folders);
    }
}

int testLoop(const std::vector<File>& files) {
    int sound = 0;
    for (const File& file : files) {
        const int fd = ::openat(file.folder, file.name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        unsigned char last[2] = {0, 0};
        if (::fstat(fd, &st) == 0 && st.st_size >= 2 && ::pread(fd, last, 2, st.st_size - 2) == 2)
            sound += last[0] == 0xFF && last[1] == 0xD9;
        ::close(fd);
    }
    return sound;
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: floor_scan DIR\n", stderr);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const int root = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) {
        std::perror(argv[1]);
        return 1;
    }
    std::vector<File> files;
    std::vector<int> folders;
    walk(root, files, folders);
    const double walkSeconds = since(start);
    const auto testStart = std::chrono::steady_clock::now();
    const int sound = testLoop(files);
    const double testSeconds = since(testStart);
    const double totalSeconds = since(start);
    for (int fd : folders)
        ::close(fd);
    std::printf("files %zu sound %d\nfloor_walk %.6f\nfloor_test %.6f\nfloor_total %.6f\n",
                files.size(), sound, walkSeconds, testSeconds, totalSeconds);
    return 0;
}
