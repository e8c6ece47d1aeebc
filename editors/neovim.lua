-- Job files (*.par) in Neovim 0.7 and later: their filetype, '#' comments, and one `kestcmd lsp`
-- for every job buffer. Source it from init.lua (dofile) or init.vim (luafile); set
-- vim.g.kestcmd to the program's path when kestcmd is not on PATH.
local client_id

vim.api.nvim_create_autocmd({ 'BufRead', 'BufNewFile' }, {
  pattern = '*.par',
  callback = function(args) vim.bo[args.buf].filetype = 'par' end,
})

vim.api.nvim_create_autocmd('FileType', {
  pattern = 'par',
  callback = function(args)
    vim.bo[args.buf].commentstring = '# %s'
    if not (client_id and vim.lsp.get_client_by_id(client_id)) then
      client_id = vim.lsp.start_client({
        name = 'kestcmd',
        cmd = { vim.g.kestcmd or 'kestcmd', 'lsp' },
        root_dir = vim.fn.getcwd(),
      })
    end
    vim.lsp.buf_attach_client(args.buf, client_id)
  end,
})
