# What the benchmarks share: running a command in a child and measuring it.
add_library(pagesmith_bench_support STATIC ${CMAKE_CURRENT_LIST_DIR}/support/ChildRun.cpp)
target_include_directories(pagesmith_bench_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
