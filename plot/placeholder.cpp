// Placeholder so that the layer library exists before it has code.
namespace dropfix_plot_placeholder {}
