# A 16-bit grey A4 page to Group 4 against the same page at 8 bits: depth-bench [--pages N] [--repeat N]
add_executable(depth-bench ${CMAKE_CURRENT_LIST_DIR}/depth_bench.cpp)
target_link_libraries(depth-bench PRIVATE pagesmith_core pagesmith_bench_support)
