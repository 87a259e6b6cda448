# Colour document to Group 4, against the libtiff tools: fax-bench [--pages N] [--width W] [--length L]
add_executable(fax-bench ${CMAKE_CURRENT_LIST_DIR}/fax_bench.cpp)
target_link_libraries(fax-bench PRIVATE pagesmith_core pagesmith_bench_support)
