# What the benchmarks share: running and measuring a child, one engine
# conversion, the fax and colour page writers, temporary folders, a folder of
# mixed small files.
add_library(pagesmith_bench_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/support/ChildRun.cpp
    ${CMAKE_CURRENT_LIST_DIR}/support/ConvertOnce.cpp
    ${CMAKE_CURRENT_LIST_DIR}/support/MixedFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/support/PageWriters.cpp
    ${CMAKE_CURRENT_LIST_DIR}/support/TempFolder.cpp)
target_include_directories(pagesmith_bench_support PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(pagesmith_bench_support PUBLIC pagesmith_core)
