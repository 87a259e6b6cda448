# The folder scan against opening every file with libtiff: scan-bench [--files N] [--repeat N] [--keep]
add_executable(scan-bench ${CMAKE_CURRENT_LIST_DIR}/scan_bench.cpp)
target_link_libraries(scan-bench PRIVATE pagesmith_core pagesmith_bench_support)
